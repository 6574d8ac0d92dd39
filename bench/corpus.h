// A realistic query corpus: amounts up to 10^7, deductions close to and far
// from them, terms 0 to 40 years, rates as integers, 2-decimal numbers and
// full-precision decimals; one query per line.  The shape says how a file
// writes the same kind of queries.
#ifndef BALANCE_CHECK_BENCH_CORPUS_H
#define BALANCE_CHECK_BENCH_CORPUS_H

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>

enum class Shape {
	plain,    // "1234567 1230000 30 4.25\n"
	crlf,     // "\r\n" line ends
	tabs,     // tab-separated
	padded,   // zero-padded fields: "0001234567"
	signs,    // an explicit sign on every field
	cents,    // amounts in cents, 9 to 13 digits
	pow,      // half the queries need pow: a negative rate or term
	columns,  // right-aligned columns, four queries a line
	long_amounts,  // amounts of 12 to 19 digits, a quarter of 19
	exponent,      // every rate with an exponent: "1.234567e+00"
	mixed,    // each query in one of the shapes above
	near_one, // grown balances within an ulp or so of 1: pow's last bit decides
};

constexpr const char* shape_names[] = {"plain", "crlf", "tabs",    "padded", "signs",
                                       "cents", "pow",  "columns", "long",   "exponent",
                                       "mixed", "near-one"};
constexpr int shape_count = sizeof shape_names / sizeof shape_names[0];

// The shape named s, or false.
inline bool shape_of(const char* s, Shape& shape)
{
	for (int i = 0; i < shape_count; ++i)
		if (std::strcmp(s, shape_names[i]) == 0) {
			shape = static_cast<Shape>(i);
			return true;
		}
	return false;
}

struct CorpusGenerator {
	Shape shape = Shape::plain;
	std::mt19937_64 rng{20261208};
	long written = 0;

	// Writes one query into out (at least 160 bytes); returns its length.
	int line(char* out)
	{
		Shape s = shape;
		if (s == Shape::near_one)
			return near_one(out);
		if (s == Shape::mixed)
			s = static_cast<Shape>(rng() % static_cast<unsigned>(Shape::mixed));
		long long dlh = static_cast<long long>(rng() % 10000000) + 1;
		if (s == Shape::cents)
			dlh = dlh * 100 + static_cast<long long>(rng() % 100) + 100000000 * static_cast<long long>(rng() % 10000);
		if (s == Shape::long_amounts) {
			dlh = dlh * 100000000000 + static_cast<long long>(rng() % 100000000000);
			// A quarter of 19 digits, below strtoll's limit, chosen by the count
			// so that the other queries' draws stay as they were.
			if (written % 4 == 1)
				dlh = dlh % 1000000000000000000 + 1000000000000000000 * (1 + dlh % 8);
		}
		long long spl;
		switch (rng() % 4) {
		case 0: spl = dlh - static_cast<long long>(rng() % 100); break;           // nearly paid
		case 1: spl = dlh + static_cast<long long>(rng() % 3) - 1; break;         // about paid
		default: spl = static_cast<long long>(rng() % static_cast<std::uint64_t>(dlh)); break;
		}
		long long rok = static_cast<long long>(rng() % 41);
		char rate[40];
		const unsigned kind = static_cast<unsigned>(rng() % 3);
		if (kind == 0)
			std::snprintf(rate, sizeof rate, "%d", static_cast<int>(rng() % 21));
		else if (kind == 1)
			std::snprintf(rate, sizeof rate, "%d.%02d", static_cast<int>(rng() % 20),
			              static_cast<int>(rng() % 100));
		else
			std::snprintf(rate, sizeof rate, "%.17g",
			              std::uniform_real_distribution<double>(0.0, 20.0)(rng));
		if (s == Shape::pow && rng() % 2 == 0) {
			if (rng() % 2 == 0)
				rok = -rok;
			else {
				std::memmove(rate + 1, rate, std::strlen(rate) + 1);
				rate[0] = '-';
			}
		}

		++written;
		switch (s) {
		case Shape::crlf:
			return std::snprintf(out, 160, "%lld %lld %lld %s\r\n", dlh, spl, rok, rate);
		case Shape::tabs:
			return std::snprintf(out, 160, "%lld\t%lld\t%lld\t%s\n", dlh, spl, rok, rate);
		case Shape::padded:
			return std::snprintf(out, 160, "%010lld %010lld %03lld %08.4f\n", dlh, spl, rok,
			                     std::strtod(rate, nullptr));
		case Shape::signs:
			return std::snprintf(out, 160, "%+lld %+lld %+lld +%s\n", dlh, spl, rok, rate);
		case Shape::exponent:
			return std::snprintf(out, 160, "%lld %lld %lld %.6e\n", dlh, spl, rok, std::strtod(rate, nullptr));
		case Shape::columns:
			return std::snprintf(out, 160, "%9lld %9lld %3lld %20s%s", dlh, spl, rok, rate,
			                     written % 4 == 0 ? "\n" : "   ");
		default:
			return std::snprintf(out, 160, "%lld %lld %lld %s\n", dlh, spl, rok, rate);
		}
	}

	// A shrinking balance (a negative rate) with the difference chosen as
	// the whole number nearest to 1 / growth, as this machine's pow has it.
	int near_one(char* out)
	{
		for (;;) {
			const double rate = -static_cast<double>(100 + rng() % 30000) / 100;
			const long long rok = static_cast<long long>(1 + rng() % 40);
			const double growth = std::pow(1.0 + (rate / 12.0) * 0.01, static_cast<double>(12 * rok));
			if (!(growth > 0x1p-53 && growth < 0.5))
				continue;
			++written;
			return std::snprintf(out, 160, "%lld 0 %lld %.2f\n", std::llround(1 / growth), rok, rate);
		}
	}
};

#endif
