// The everyday query, "1234567 1234000 30 4.25\n", read in one go: the byte
// classes of a 48-byte window give every token boundary at once, so the
// next query's start waits on a few bit operations rather than on a chain
// of loads.  Anything else (signs, exponents, longer numbers, other white
// space, a token at the end of the data) is left to the general
// token-by-token path, which gives the same values.
//
// The window work is a kernel: SSE2 where the target has it, the portable
// SWAR twin everywhere else; the choice is made here, once.
#ifndef BALANCE_CHECK_PLAIN_QUERY_H
#define BALANCE_CHECK_PLAIN_QUERY_H

#include <cstddef>
#include <cstdint>

#include "balance.h"
#include "bits.h"
#include "number_scan.h"
#include "plain_kernel_generic.h"
#include "plain_kernel_sse2.h"
#include "text.h"

namespace plain {
#if defined(BALANCE_CHECK_HAVE_SSE2)
using ChosenKernel = sse2::Kernel;
#else
using ChosenKernel = generic::Kernel;
#endif
}  // namespace plain

// Bytes the plain path may read before the first byte of the data and
// after its end: the reader's buffer keeps them, zeroed.
constexpr std::size_t plain_front_padding = 16;
constexpr std::size_t plain_back_padding = 64;
static_assert(plain_back_padding >= scan_padding, "the general scanners read past the end too");

namespace plain {

constexpr u64 top_bit = u64{1} << 63;

inline int lowest(u64 x)  // the lowest set bit; 63 when none below it
{
	return bits::countr_zero(x | top_bit);
}

}  // namespace plain

// Reads one plain query at p (white space before it is skipped): three
// integers of 1 to 8 digits and a rate of 1 to 8 integer digits with an
// optional point and up to 16 fraction digits, 19 digits in all, separated
// by ' ' or '\n' and followed by one, all within 48 bytes.  Returns the end
// of the rate, or nullptr.
template <typename Kernel>
const char* read_plain_query_with(const char* p, BalanceQuery& q)
{
	using plain::lowest;
	using plain::u64;
	p = skip_space(p);
	const plain::Classes c = Kernel::classify(p);
	const u64 token = c.digit | c.point;
	const u64 starts = token & ~(token << 1);
	u64 ends = ~token & (token << 1);  // the byte after each token
	const int e0 = lowest(ends);
	ends &= ends - 1;
	const int e1 = lowest(ends);
	ends &= ends - 1;
	const int e2 = lowest(ends);
	ends &= ends - 1;
	const int e3 = lowest(ends);
	u64 later = starts & (starts - 1);
	const int s1 = lowest(later);
	later &= later - 1;
	const int s2 = lowest(later);
	later &= later - 1;
	const int s3 = lowest(later);
	if (e3 >= plain::window)
		return nullptr;

	const u64 before_end = (u64{1} << e3) - 1;
	const u64 points = c.point & before_end;
	const int point = lowest(points | (u64{1} << e3));  // or the end
	const int fraction = e3 - point - (points != 0 ? 1 : 0);
	const int whole = point - s3;
	const bool plain_form =
		(starts & 1) != 0 &&                              // p is a token
		((token | c.space) & before_end) == before_end && // nothing else before the end
		((c.space >> e3) & 1) != 0 &&                     // white space after the rate
		(points & ((u64{1} << e2) - 1)) == 0 &&           // integers without a point
		(points & (points - 1)) == 0 &&                   // one point at most
		((c.digit >> s3) & 1) != 0 &&                     // a digit first in the rate
		e0 <= 8 && e1 - s1 <= 8 && e2 - s2 <= 8 && whole <= 8 && fraction <= 16 &&
		whole + fraction <= max_fast_digits;
	if (!plain_form)
		return nullptr;

	u64 dlh, spl, rok, integer;
	Kernel::two_values(p + e0, e0, p + e1, e1 - s1, dlh, spl);
	Kernel::two_values(p + e2, e2 - s2, p + point, whole, rok, integer);
	const u64 m = integer * pow10_u64[fraction] + Kernel::value16(p + e3, fraction);
	double rate;
	if (m <= max_exact_mantissa)
		rate = static_cast<double>(m) / exact_pow10[fraction];
	else if (!divide_exactly(m, fraction, rate))
		return nullptr;
	q = BalanceQuery{static_cast<std::int64_t>(dlh), static_cast<std::int64_t>(spl),
	                 static_cast<std::int64_t>(rok), rate};
	return p + e3;
}

inline const char* read_plain_query(const char* p, BalanceQuery& q)
{
	return read_plain_query_with<plain::ChosenKernel>(p, q);
}

#endif
