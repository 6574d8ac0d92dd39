// Correctly rounded m / 10^k for decimal mantissas too long for a single
// rounding, settled in exact 128-bit integer arithmetic.  Inline: the
// scanners call it for every long rate.  Written once for any 128-bit
// type with the builtin's operators (see uint128.h).
#ifndef BALANCE_CHECK_EXACT_DIVISION_H
#define BALANCE_CHECK_EXACT_DIVISION_H

#include <cstdint>
#include <cstring>

#include "numbers/bit_scan.h"
#include "numbers/uint128.h"

namespace numbers {
namespace exact {

using u64 = std::uint64_t;

constexpr int max_pow10 = 22;

// Powers of ten that are exact doubles.
inline constexpr double pow10[] = {
	1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
	1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22,
};

template <typename U128>
struct Pow10Table {
	U128 p[max_pow10 + 1];
	constexpr Pow10Table() : p()
	{
		U128 x = 1;
		for (int k = 0; k <= max_pow10; ++k, x *= 10)
			p[k] = x;
	}
};
template <typename U128>
inline constexpr Pow10Table<U128> pow10_wide;

struct Binary {
	u64 mantissa;  // with the implicit bit
	int exponent;  // value = mantissa * 2^exponent
};

inline Binary decompose(double x)  // x positive and normal
{
	u64 bits;
	std::memcpy(&bits, &x, sizeof bits);
	return {(bits & ((u64{1} << 52) - 1)) | (u64{1} << 52), static_cast<int>(bits >> 52) - 1075};
}

inline double adjacent(double x, bool up)  // x positive and normal
{
	u64 bits;
	std::memcpy(&bits, &x, sizeof bits);
	bits = up ? bits + 1 : bits - 1;
	std::memcpy(&x, &bits, sizeof x);
	return x;
}

// floor(2^shift / 10^k), normalised to [2^63, 2^64) by the choice of shift.
struct Reciprocal {
	u64 value;
	int shift;
};

struct ReciprocalTable {
	Reciprocal r[max_pow10 + 1];
	constexpr ReciprocalTable() : r()
	{
		for (int k = 0; k <= max_pow10; ++k) {
			const uint128::TwoWords d = pow10_wide<uint128::TwoWords>.p[k];
			// Long division of 2^shift by d, one quotient bit per step; the
			// remainder stays below d < 2^74.
			uint128::TwoWords remainder = 1;
			u64 quotient = 0;
			int shift = 0;
			while (quotient < (u64{1} << 63)) {
				remainder <<= 1;
				quotient <<= 1;
				if (remainder >= d) {
					remainder -= d;
					quotient |= 1;
				}
				++shift;
			}
			r[k] = Reciprocal{quotient, shift};
		}
	}
};
inline constexpr ReciprocalTable reciprocals;

// m / 10^k by one 64 x 64 multiplication with the truncated reciprocal:
// with w = m * 2^c (normalised) and R = floor(2^t / 10^k), the exact
// w * 2^t / 10^k lies in [w * R, w * R + w), an interval narrower than
// 2^64.  When the bits below the rounding bit of w * R are neither within
// 2^64 of zero (a possible exact tie) nor within 2^64 of a carry into the
// rounding bit, the rounding is the same for every value in the interval,
// hence for the exact one.  False otherwise (about one time in 2^8).
template <typename U128>
bool divide_by_reciprocal(u64 m, int k, double& value)
{
	const int c = numbers::countl_zero(m);
	const Reciprocal& r = reciprocals.r[k];
	const U128 z = U128{m << c} * r.value;  // in [2^126, 2^128)
	const int top = 126 + static_cast<int>(static_cast<u64>(z >> 127));
	const int tail_bits = top - 53;  // below the rounding bit: 73 or 74
	const U128 tail = z & ((U128{1} << tail_bits) - 1);
	const U128 margin = U128{1} << 64;
	if (tail < margin || tail > (U128{1} << tail_bits) - margin)
		return false;
	u64 mantissa = static_cast<u64>(z >> (tail_bits + 1)) + static_cast<u64>((z >> tail_bits) & 1);
	int exponent = top - 52 - c - r.shift;  // value = mantissa * 2^exponent
	if (mantissa == (u64{1} << 53)) {
		mantissa >>= 1;
		++exponent;
	}
	const int biased = exponent + 1075;
	if (biased <= 0 || biased >= 2047)
		return false;
	const u64 word = static_cast<u64>(biased) << 52 | (mantissa & ((u64{1} << 52) - 1));
	std::memcpy(&value, &word, sizeof value);
	return true;
}

}  // namespace exact

// m / 10^k correctly rounded, for 2^53 < m < 2^64 and 1 <= k <= 22.  First
// by the reciprocal; where that cannot decide, the quotient of the rounded
// mantissa (within two ulps) moves to the neighbour whose rounding interval
// holds the exact quotient, found by comparing m / 10^k with the midpoints
// (2M +- 1) * 2^(e-1) of x = M * 2^e in integers.  False where that is not
// simple (a power of two, whose lower neighbour is closer; huge or tiny
// values): the general conversion takes those.
template <typename U128>
bool divide_exactly_with(std::uint64_t m, int k, double& value)
{
	using exact::u64;
	if (exact::divide_by_reciprocal<U128>(m, k, value))
		return true;
	const U128 p10 = exact::pow10_wide<U128>.p[k];  // below 2^74, so (2M + 1) * p10 fits
	double x = static_cast<double>(m) / exact::pow10[k];
	for (int step = 0; step < 3; ++step) {
		if (!(x >= 2.2250738585072014e-308) || !(x < 9007199254740992.0))
			return false;
		const exact::Binary b = exact::decompose(x);
		const int shift = 1 - b.exponent;  // >= 1 below 2^53
		if (b.mantissa == (u64{1} << 52) || shift > 64 + numbers::countl_zero(m))
			return false;  // shift > 64 + clz: m << shift would not fit
		const U128 scaled = U128{m} << shift;
		const U128 above = U128{2 * b.mantissa + 1} * p10;
		// cppcheck-suppress redundantAssignment ; a false report on the template
		const U128 below = above - U128{2} * p10;
		const bool odd = (b.mantissa & 1) != 0;  // ties go to the even neighbour
		if (scaled > above || (scaled == above && odd))
			x = exact::adjacent(x, true);
		else if (scaled < below || (scaled == below && odd))
			x = exact::adjacent(x, false);
		else {
			value = x;
			return true;
		}
	}
	return false;
}

inline bool divide_exactly(std::uint64_t m, int k, double& value)
{
	return divide_exactly_with<uint128::Chosen>(m, k, value);
}

}  // namespace numbers

#endif
