// A realistic query corpus: amounts up to 10^7, deductions close to and far
// from them, terms 0 to 40 years, rates as integers, 2-decimal numbers and
// full-precision decimals; one query per line.
#ifndef BALANCE_CHECK_BENCH_CORPUS_H
#define BALANCE_CHECK_BENCH_CORPUS_H

#include <cstdint>
#include <cstdio>
#include <random>

struct CorpusGenerator {
	std::mt19937_64 rng{20261208};

	// Writes one query line into out (at least 96 bytes); returns its length.
	int line(char* out)
	{
		const long long dlh = static_cast<long long>(rng() % 10000000) + 1;
		long long spl;
		switch (rng() % 4) {
		case 0: spl = dlh - static_cast<long long>(rng() % 100); break;           // nearly paid
		case 1: spl = dlh + static_cast<long long>(rng() % 3) - 1; break;         // about paid
		default: spl = static_cast<long long>(rng() % static_cast<std::uint64_t>(dlh)); break;
		}
		const int rok = static_cast<int>(rng() % 41);
		const unsigned kind = static_cast<unsigned>(rng() % 3);
		if (kind == 0)
			return std::snprintf(out, 96, "%lld %lld %d %d\n", dlh, spl, rok,
			                     static_cast<int>(rng() % 21));
		if (kind == 1)
			return std::snprintf(out, 96, "%lld %lld %d %d.%02d\n", dlh, spl, rok,
			                     static_cast<int>(rng() % 20), static_cast<int>(rng() % 100));
		const double rate = std::uniform_real_distribution<double>(0.0, 20.0)(rng);
		return std::snprintf(out, 96, "%lld %lld %d %.17g\n", dlh, spl, rok, rate);
	}
};

#endif
