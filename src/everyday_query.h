// The fast path: the everyday query, "1234567 1234000 30 4.25\n", read in
// one go.  The byte classes of a 64-byte window give every token boundary
// at once, so the next query's start waits on a few bit operations rather
// than on a chain of loads.  Signs, leading zeros, numbers of up to 19
// digits, short exponents and any white space stay on this path; anything
// else (longer numbers or exponents, hexadecimal, a token at the end of
// the data) is left to the general token-by-token path (general_query.cpp),
// which gives the same values.  Written once over any window kernel
// (kernels/kernel.h); kernels/chosen.h picks the one that runs.
#ifndef BALANCE_CHECK_EVERYDAY_QUERY_H
#define BALANCE_CHECK_EVERYDAY_QUERY_H

#include <cstddef>
#include <cstdint>

#include "balance.h"
#include "kernels/chosen.h"
#include "kernels/kernel.h"
#include "numbers/bit_scan.h"
#include "numbers/digits.h"
#include "numbers/exact_value.h"
#include "numbers/scanners.h"
#include "numbers/white_space.h"
#include "target.h"

// Bytes the fast path may read before the first byte of the data and
// after its end: the reader's buffer keeps them, zeroed.
constexpr std::size_t everyday_front_padding = 16;
constexpr std::size_t everyday_back_padding = kernels::window;
static_assert(everyday_back_padding >= scan_padding, "the general scanners read past the end too");

namespace everyday {

using kernels::Classes;
using kernels::short_window;
using kernels::u64;
using kernels::window;

constexpr u64 top_bit = u64{1} << 63;

inline int lowest(u64 x)  // the lowest set bit; 63 when none below it
{
	return bits::countr_zero(x | top_bit);
}

// Where the first four tokens of the window start and end (the byte after
// each); 63 where there is none.
struct Bounds {
	u64 token, starts;
	int s1, s2, s3, e0, e1, e2, e3;
};

BALANCE_CHECK_INLINE Bounds bounds_of(const Classes& c)
{
	Bounds b;
	b.token = c.digit | c.point | c.sign | c.exponent;
	b.starts = b.token & ~(b.token << 1);
	u64 ends = ~b.token & (b.token << 1);
	b.e0 = lowest(ends);
	ends &= ends - 1;
	b.e1 = lowest(ends);
	ends &= ends - 1;
	b.e2 = lowest(ends);
	ends &= ends - 1;
	b.e3 = lowest(ends);
	u64 later = b.starts & (b.starts - 1);
	b.s1 = lowest(later);
	later &= later - 1;
	b.s2 = lowest(later);
	later &= later - 1;
	b.s3 = lowest(later);
	return b;
}

// Amounts and rates of up to 19 digits, leading zeros included: 19 digits
// always fit in 64 bits.
constexpr int max_digits = 19;

// The value of the 0 to 19 digits that end at e.  The digits before the
// last 16 are read from up to 32 bytes before e, within the front padding.
template <typename Kernel>
BALANCE_CHECK_INLINE u64 value19(const char* e, int n)
{
	if (n <= 16)
		return Kernel::value16(e, n);
	return Kernel::value16(e - 16, n - 16) * pow10_u64[16] + Kernel::value16(e, 16);
}

// The exponent after the letter at p + letter, which ends at p + end: 1 to
// 3 digits after an optional sign.
template <typename Kernel>
BALANCE_CHECK_INLINE int exponent_value(const char* p, int letter, int end, int sign)
{
	const int x = static_cast<int>(Kernel::value16(p + end, end - letter - 1 - sign));
	return sign != 0 && p[letter + 1] == '-' ? -x : x;
}

// The rest of read_everyday_query_with, once the window is classified: checks
// the form and converts.  Instantiated without marks, with signs, and with
// signs and exponents, so that files skip the work of marks they lack.
template <typename Kernel, bool with_signs, bool with_exponents = false>
BALANCE_CHECK_INLINE const char* finish(const char* p, const Classes& c, const Bounds& b, BalanceQuery& q)
{
	const u64 token = b.token, starts = b.starts;
	const int e0 = b.e0, e1 = b.e1, e2 = b.e2, e3 = b.e3, s1 = b.s1, s2 = b.s2, s3 = b.s3;
	const u64 before_end = (u64{1} << e3) - 1;
	const u64 points = c.point & before_end;
	const u64 signs = with_signs ? c.sign & before_end : 0;
	const u64 letters = with_exponents ? c.exponent & before_end : 0;
	const int g0 = static_cast<int>(signs & 1), g1 = static_cast<int>((signs >> s1) & 1),
	          g2 = static_cast<int>((signs >> s2) & 1), g3 = static_cast<int>((signs >> s3) & 1);
	const int n0 = e0 - g0, n1 = e1 - s1 - g1, n2 = e2 - s2 - g2;  // integer digits
	const int letter = lowest(letters | (u64{1} << e3));           // the exponent's, or the end
	const int point = lowest(points | (u64{1} << letter));         // or the letter
	const int fraction = letter - point - (points != 0 ? 1 : 0);
	const int whole = point - s3 - g3;
	const int exponent_sign = letters != 0 ? static_cast<int>((signs >> (letter + 1)) & 1) : 0;
	const int exponent_digits = e3 - letter - 1 - exponent_sign;  // when there is a letter
	const bool everyday_form =
		(starts & 1) != 0 &&                              // p is a token
		((token | c.space) & before_end) == before_end && // nothing else before the end
		((c.space >> e3) & 1) != 0 &&                     // white space after the rate
		(signs & ~(starts | letters << 1)) == 0 &&        // signs first in a token or exponent
		(points & ((u64{1} << e2) - 1)) == 0 &&           // integers without a point
		(points & (points - 1)) == 0 &&                   // one point at most
		((c.digit >> (s3 + g3)) & 1) != 0 &&              // a digit first in the rate
		(!with_signs || (n0 >= 1 && n1 >= 1 && n2 >= 1)) && // not a sign alone
		n0 <= max_digits && n1 <= max_digits && n2 <= max_digits &&
		whole + fraction <= max_digits &&
		// at most one exponent, in the rate after its point, of 1 to 3 digits
		(letters == 0 || ((letters & (letters - 1)) == 0 && letter > s3 && point < letter &&
		                  exponent_digits >= 1 && exponent_digits <= 3));
	if (!everyday_form)
		return nullptr;

	auto negative = [p](int sign, int start) { return with_signs && sign != 0 && p[start] == '-'; };
	u64 dlh, spl, rok, integer, fraction_value;
	const bool everyday = n0 <= 8 && n1 <= 8 && n2 <= 8 && whole <= 8 && fraction <= 16;
	if (everyday) {  // two tokens a ladder
		Kernel::two_values(p + e0, n0, p + e1, n1, dlh, spl);
		Kernel::two_values(p + e2, n2, p + point, whole, rok, integer);
		fraction_value = Kernel::value16(p + letter, fraction);
	} else {
		dlh = value19<Kernel>(p + e0, n0);
		spl = value19<Kernel>(p + e1, n1);
		rok = value19<Kernel>(p + e2, n2);
		integer = value19<Kernel>(p + point, whole);
		fraction_value = value19<Kernel>(p + letter, fraction);
	}
	// At most 19 digits in all: below 10^19, within 64 bits.
	const u64 m = integer * pow10_u64[fraction] + fraction_value;
	double rate;
	if (letters != 0) {
		if (!scale_exactly(m, exponent_value<Kernel>(p, letter, e3, exponent_sign) - fraction, rate))
			return nullptr;
	} else if (m <= max_exact_mantissa) {  // the everyday rate: no exponent to check
		rate = static_cast<double>(m) / exact_pow10[fraction];
	} else if (!divide_exactly(m, fraction, rate)) {
		return nullptr;
	}
	rate = negative(g3, s3) ? -rate : rate;
	if (everyday) {  // below 10^8 each magnitude fits, negated or not
		auto value = [&](u64 magnitude, int sign, int start) {
			const auto v = static_cast<std::int64_t>(magnitude);
			return negative(sign, start) ? -v : v;
		};
		q = BalanceQuery{value(dlh, g0, 0), value(spl, g1, s1), value(rok, g2, s2), rate};
	} else {
		q = BalanceQuery{saturated(dlh, negative(g0, 0)), saturated(spl, negative(g1, s1)),
		                 saturated(rok, negative(g2, s2)), rate};
	}
	return p + e3;
}

// A query longer than 48 bytes (amounts in cents, wide columns): the whole
// window, out of line, since it is the rarer case.
template <typename Kernel>
const char* read_long(const char* p, BalanceQuery& q)
{
	Classes c = Kernel::template classify<window>(p);
	c.sign = Kernel::template signs<window>(p);
	if ((c.digit | c.point | c.space | c.sign) != ~u64{0})  // some byte unknown yet
		c.exponent = Kernel::template exponents<window>(p);
	const Bounds b = bounds_of(c);
	if (b.e3 >= window - 1)  // bit 63 also stands for "none"
		return nullptr;
	if (c.exponent != 0)
		return finish<Kernel, true, true>(p, c, b, q);
	if (c.sign != 0)
		return finish<Kernel, true>(p, c, b, q);
	return finish<Kernel, false>(p, c, b, q);
}

constexpr u64 short_bytes = (u64{1} << short_window) - 1;

// A query classified in the short window: finished there, or read again
// in the whole window when it is longer.
template <typename Kernel, bool with_signs, bool with_exponents = false>
BALANCE_CHECK_INLINE const char* finish_short(const char* p, const Classes& c, BalanceQuery& q)
{
	const Bounds b = bounds_of(c);
	if (b.e3 >= short_window)
		return read_long<Kernel>(p, q);
	return finish<Kernel, with_signs, with_exponents>(p, c, b, q);
}

}  // namespace everyday

// Reads one everyday query at p (white space before it is skipped): three
// integers of 1 to 19 digits and a rate of 1 to 19 digits with an optional
// point among them and an optional exponent of 1 to 3 digits, each number
// with an optional sign, separated by white space and followed by it, all
// within the window.  Returns the end of the rate, or nullptr.
template <typename Kernel>
BALANCE_CHECK_INLINE const char* read_everyday_query_with(const char* p, BalanceQuery& q)
{
	p = skip_space(p);
	// Most queries fit in 48 bytes and have no marks: classify those first;
	// signs only if some byte is neither a digit, a point nor white space,
	// and exponent letters only if some byte is not a sign either.  Each
	// case keeps its own straight line, so that the unmarked one, the
	// everyday case, holds its classes and bounds in registers.
	using kernels::short_window;
	const kernels::Classes c = Kernel::template classify<short_window>(p);
	if ((~(c.digit | c.point | c.space) & everyday::short_bytes) != 0) {
		const kernels::u64 signs = Kernel::template signs<short_window>(p);
		kernels::Classes marked{c.digit, c.point, c.space, signs, 0};
		if ((~(c.digit | c.point | c.space | marked.sign) & everyday::short_bytes) != 0) {
			marked.exponent = Kernel::template exponents<short_window>(p);
			return everyday::finish_short<Kernel, true, true>(p, marked, q);
		}
		return everyday::finish_short<Kernel, true>(p, marked, q);
	}
	return everyday::finish_short<Kernel, false>(p, c, q);
}

inline const char* read_everyday_query(const char* p, BalanceQuery& q)
{
	return read_everyday_query_with<kernels::Baseline>(p, q);
}

#endif
