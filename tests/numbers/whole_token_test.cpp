// The conversions are checked bit for bit against strtoll and strtod, the
// routines whose results they must reproduce.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "numbers/rate_places.h"
#include "numbers/scanners.h"
#include "numbers/whole_token.h"

namespace numbers {
namespace {

struct Reference {
	bool accepted;
	std::uint64_t bits;  // value bits, so -0.0 and NaN payloads compare
};

Reference strtoll_whole(const std::string& s)
{
	char* end = nullptr;
	const long long v = std::strtoll(s.c_str(), &end, 10);
	const bool whole = !s.empty() && end == s.c_str() + s.size() && !std::isspace(
		static_cast<unsigned char>(s[0]));
	return {whole, static_cast<std::uint64_t>(v)};
}

Reference strtod_whole(const std::string& s)
{
	char* end = nullptr;
	const double v = std::strtod(s.c_str(), &end);
	std::uint64_t bits;
	std::memcpy(&bits, &v, sizeof bits);
	const bool whole = !s.empty() && end == s.c_str() + s.size() && !std::isspace(
		static_cast<unsigned char>(s[0]));
	return {whole, bits};
}

void expect_int_like_strtoll(const std::string& s)
{
	std::int64_t v = 0;
	const std::string padded = s + std::string(scan_padding, '\0');  // as the general path reads it
	const bool ok = !s.empty() && scan_int64(padded.c_str(), v) == padded.c_str() + s.size();
	const Reference ref = strtoll_whole(s);
	ASSERT_EQ(ok, ref.accepted) << '"' << s << '"';
	if (ok) {
		ASSERT_EQ(static_cast<std::uint64_t>(v), ref.bits) << '"' << s << '"';
	}
}

// The places of a token's marks, as stage 2 knows them from the class
// bits, when it is a decimal's: digits, at most one point, an exponent.
bool places_in(const std::string& s, RatePlaces& r)
{
	const int n = static_cast<int>(s.size());
	auto digits_from = [&](int& i) {
		const int first = i;
		while (i < n && s[static_cast<std::size_t>(i)] >= '0' && s[static_cast<std::size_t>(i)] <= '9')
			++i;
		return i - first;
	};
	r = RatePlaces{0, -1, n, n};
	int i = n > 0 && (s[0] == '+' || s[0] == '-') ? 1 : 0;
	r.sign = i;
	int mantissa = digits_from(i);
	if (i < n && s[static_cast<std::size_t>(i)] == '.') {
		r.point = i++;
		mantissa += digits_from(i);
	}
	if (mantissa == 0)
		return false;
	if (i < n && (s[static_cast<std::size_t>(i)] | 0x20) == 'e') {
		r.letter = i++;
		if (i < n && (s[static_cast<std::size_t>(i)] == '+' || s[static_cast<std::size_t>(i)] == '-'))
			++i;
		if (digits_from(i) == 0)
			return false;
	}
	return i == n;
}

// Both the fast paths (where they answer) and the whole-token conversion.
void expect_double_like_strtod(const std::string& s)
{
	const Reference ref = strtod_whole(s);
	double v = 0;
	const bool ok = parse_double_token(s.data(), s.data() + s.size(), v);
	ASSERT_EQ(ok, ref.accepted) << '"' << s << '"';
	std::uint64_t bits;
	std::memcpy(&bits, &v, sizeof bits);
	if (ok) {
		ASSERT_EQ(bits, ref.bits) << '"' << s << '"';
	}
	double by_strtod = 0;
	ASSERT_EQ(parse_double_token_by_strtod(s.data(), s.data() + s.size(), by_strtod), ok) << s;
	ASSERT_EQ(std::memcmp(&by_strtod, &v, sizeof v), 0) << '"' << s << '"';

	double fast = 0;
	const std::string padded = s + std::string(scan_padding, '\0');
	const char* end = scan_double_fast(padded.c_str(), fast);
	if (end == padded.c_str() + s.size()) {
		ASSERT_TRUE(ref.accepted) << '"' << s << '"';
		std::memcpy(&bits, &fast, sizeof bits);
		ASSERT_EQ(bits, ref.bits) << "fast path: \"" << s << '"';
	}
	RatePlaces places;
	Decimal d;
	if (places_in(s, places) && decimal_at(padded.c_str(), places, d) && value_of(d, fast)) {
		std::memcpy(&bits, &fast, sizeof bits);
		ASSERT_EQ(bits, ref.bits) << "from its places: \"" << s << '"';
	}
}

TEST(IntegerTokens, FormsAndSaturation)
{
	const char* cases[] = {
		"0", "-0", "+0", "7", "+7", "-7", "007", "-000000000000000000000000000042",
		"9223372036854775807", "9223372036854775808", "99999999999999999999",
		"-9223372036854775808", "-9223372036854775809", "-18446744073709551617",
		"00000000000000000000009223372036854775807", "1000000000000000000",
		"+", "-", "", "+-1", "--1", "1-", "1.0", "1e3", "0x10", " 1", "1 ", "a", "١",
	};
	for (const char* s : cases)
		expect_int_like_strtoll(s);
}

TEST(IntegerTokens, EveryLengthAgainstStrtoll)
{
	std::mt19937_64 rng(1);
	for (int length = 1; length <= 24; ++length)
		for (int trial = 0; trial < 400; ++trial) {
			std::string s;
			const int sign = trial % 3;
			if (sign == 1) s += '-';
			if (sign == 2) s += '+';
			const int zeros = trial % 5 == 0 ? static_cast<int>(rng() % 30) : 0;
			s.append(static_cast<std::size_t>(zeros), '0');
			for (int i = 0; i < length; ++i)
				s += static_cast<char>('0' + rng() % 10);
			expect_int_like_strtoll(s);
		}
	// Around both limits, digit by digit.
	for (const char* base : {"9223372036854775807", "-9223372036854775808"})
		for (int delta = -20; delta <= 20; ++delta) {
			std::string s = base;
			s.back() = static_cast<char>(s.back() + delta % 3);
			expect_int_like_strtoll(s);
		}
}

TEST(RateTokens, AcceptedForms)
{
	const char* cases[] = {
		"5", "+5", "-5", "5.", ".5", "-.5", "+.5e1", "5.e2", "0.000123", "00000012.50",
		"1e22", "1e23", "1e-22", "1e-23", "9007199254740992", "9007199254740993",
		"9007199254740993e-5", "1234567890123456789", "12345678901234567890", "0.1e-330",
		"1e308", "1e309", "-1e309", "4.9e-324", "2.4703282292062327e-324", "2.2250738585072011e-308",
		"1E5", "1e+5", "1e-0", "0e99999999", "-0", "-0.0", "0e5", "3e-13", "+0", "-0e-0",
		"0000000004.25", "000000000000000000004.25", "12345678.", ".12345678", "1234567890123456.5",
		"12345678901234567.8", "1.234567890123456789", "9999999999999999999", "2.5607576705966579e+00",
		"1.5e22", "1.5e-22", "1.5e23", "1.5e-23", "1e00000022", "1e-000000022", "12345678901234567e-22",
		"0.0000000000000000000000123",
		"0.3333333333333333333333333333333333333333333333333333333333333333333333",
		"inf", "-Infinity", "INF", "nan", "-nan", "NaN(123)", "nan(0x7f_a)", "nan()",
		"0x1p3", "-0X1.8P-3", "0x.8", "0x1.fffffffffffff8p1023", "0x1p-1074",
		// rejected, as a whole
		"", "+", "-", ".", "e5", "1e", "1e+", "1.5x", "--5", "+-5", "5..", "1,5",
		"0x", "0xg", "infinit", "nan(", "nan(1", "in", "1e5e5", "0x1p", " 5",
	};
	for (const char* s : cases)
		expect_double_like_strtod(s);
	// A long run of zeros after the point, then a huge exponent.
	for (const char* exponent : {"5e10300", "5e1001", "5e10010", "5e-10300"})
		expect_double_like_strtod("0." + std::string(1000, '0') + exponent);
	// Exponents of thousands of digits.
	for (const char* mark : {"e", "e-", "e+", "e000"})
		for (const char digit : {'0', '1', '9'})
			expect_double_like_strtod(std::string("5") + mark + std::string(3000, digit) + "1");
}

// Numbers near the edges of the fast path: digit counts around 19, mantissas
// around 2^53, powers of ten around 22, and random shapes everywhere else.
TEST(RateTokens, GeneratedAgainstStrtod)
{
	std::mt19937_64 rng(2);
	auto digits = [&](int n) {
		std::string d;
		for (int i = 0; i < n; ++i)
			d += static_cast<char>('0' + rng() % 10);
		return d;
	};
	for (int trial = 0; trial < 200000; ++trial) {
		std::string s;
		if (rng() % 4 == 0) s += (rng() % 2) ? '-' : '+';
		const int int_digits = static_cast<int>(rng() % 22);
		const int frac_digits = static_cast<int>(rng() % 22);
		s += digits(int_digits);
		if (frac_digits > 0 || rng() % 8 == 0) {
			s += '.';
			s += digits(frac_digits);
		}
		if (rng() % 2 == 0) {
			s += (rng() % 2) ? 'e' : 'E';
			if (rng() % 2) s += (rng() % 2) ? '-' : '+';
			const int e = static_cast<int>(rng() % (rng() % 4 == 0 ? 400 : 30));
			s += std::to_string(e);
		}
		expect_double_like_strtod(s);
	}
	// Long mantissas (above 2^53) divided by a power of ten: next to the
	// shortest form of random doubles, and exact ties between two doubles.
	for (int trial = 0; trial < 100000; ++trial) {
		const double x = std::ldexp(static_cast<double>(rng() >> 11), static_cast<int>(rng() % 100) - 90);
		char text[40];
		std::snprintf(text, sizeof text, "%.*e", 16 + trial % 3, x);
		std::string t = text;
		expect_double_like_strtod(t);
		const std::size_t last = t.find('e') - 1;
		t[last] = static_cast<char>('0' + (t[last] - '0' + 1 + trial % 9) % 10);
		expect_double_like_strtod(t);
	}
	for (int e = 1; e <= 6; ++e)
		for (std::uint64_t mantissa = (1ull << 52); mantissa < (1ull << 52) + 50; ++mantissa) {
			const std::uint64_t tie = (2 * mantissa + 1) << (e - 1);  // between two doubles
			expect_double_like_strtod(std::to_string(tie) + "0e-1");
			expect_double_like_strtod(std::to_string(tie / 10) + "." + std::to_string(tie % 10));
		}
	for (std::uint64_t m = (1ull << 53) - 40; m <= (1ull << 53) + 40; ++m)
		for (int e = -24; e <= 24; ++e)
			expect_double_like_strtod(std::to_string(m) + "e" + std::to_string(e));
	// Halfway between a double and the next one up, exactly, then cut to 16
	// to 20 significant digits and one unit in the last digit either way:
	// next to random doubles, powers of two and the doubles just below them
	// (whose upper neighbour is twice as far).  9999999999999999444e-19 is one.
	auto times = [](std::string& d, std::uint64_t f) {  // decimal digits times f
		std::uint64_t carry = 0;
		for (auto c = d.rbegin(); c != d.rend(); ++c, carry /= 10) {
			carry += static_cast<std::uint64_t>(*c - '0') * f;
			*c = static_cast<char>('0' + carry % 10);
		}
		for (; carry != 0; carry /= 10)
			d.insert(d.begin(), static_cast<char>('0' + carry % 10));
	};
	auto step = [](std::string t, int delta) {  // one unit in the last digit
		for (auto c = t.rbegin(); c != t.rend(); ++c) {
			const int v = *c - '0' + delta;
			*c = static_cast<char>('0' + (v + 10) % 10);
			if (v >= 0 && v <= 9)
				break;
		}
		return t;
	};
	for (int trial = 0; trial < 20000; ++trial) {
		const std::uint64_t mantissa = trial % 3 == 0 ? (1ull << 53) - 1 : trial % 3 == 1 ? 1ull << 52
		                                                                   : (rng() >> 11) | 1ull << 52;
		int exponent = static_cast<int>(rng() % 80) - 70;  // of 2, for the last bit of the midpoint
		std::string d = std::to_string(2 * mantissa + 1);
		for (int two = exponent; two > 0; two -= 30)
			times(d, 1ull << std::min(two, 30));
		for (int five = -exponent; five > 0; five -= 13)
			times(d, static_cast<std::uint64_t>(std::pow(5.0, std::min(five, 13))));
		const std::size_t n = std::min(d.size(), std::size_t{16} + static_cast<std::size_t>(trial % 5));
		exponent = std::min(exponent, 0) + static_cast<int>(d.size() - n);  // of 10, now
		for (const int delta : {0, -1, 1}) {
			const std::string t = step(d.substr(0, n), delta);
			expect_double_like_strtod(t + "e" + std::to_string(exponent));
			expect_double_like_strtod(t.substr(0, 1) + "." + t.substr(1) + "e" +
			                          std::to_string(exponent + static_cast<int>(n) - 1));
		}
	}
	// Just below a power of two, with every count of nines: with enough of
	// them the correctly rounded value carries into the next binade.
	std::uint64_t five_pow = 1;
	for (int k = 1; k <= 26; ++k) {
		five_pow *= 5;
		const std::string whole = std::to_string((1ull << k) - 1);
		std::string below = std::to_string(five_pow);  // 2^-k is 0.<five_pow, k digits>
		below = "0." + std::string(static_cast<std::size_t>(k) - below.size(), '0') + below;
		below.back() = '4';
		for (std::size_t nines = 1; nines <= 19; ++nines) {
			expect_double_like_strtod(whole + "." + std::string(nines, '9'));
			expect_double_like_strtod(below + std::string(nines, '9'));
			expect_double_like_strtod(whole + std::string(nines, '9') + "e-" + std::to_string(nines));
		}
	}
}

}  // namespace

}  // namespace numbers
