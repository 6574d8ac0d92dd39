// Bit scans and counts: the compiler's builtins where target.h finds them, and
// everywhere the plain standard twins in numbers::portable, which are compiled
// on every target so that the tests hold them against whatever was chosen.
#ifndef BALANCE_CHECK_BIT_SCAN_H
#define BALANCE_CHECK_BIT_SCAN_H

#include <cstdint>

#include "target.h"

namespace numbers {

using u64 = std::uint64_t;

namespace portable {

constexpr u64 debruijn = 0x03f79d71b4cb0a89u;

// Position of each bit by the top six bits of debruijn shifted by it.
struct DebruijnTable {
	unsigned char position[64];
	constexpr DebruijnTable() : position()
	{
		for (int i = 0; i < 64; ++i)
			position[(debruijn << i) >> 58] = static_cast<unsigned char>(i);
	}
};
inline constexpr DebruijnTable debruijn_table;

// The lowest set bit isolated and multiplied by a de Bruijn sequence: the
// top six bits are then unique to its position.  x != 0.
constexpr int countr_zero(u64 x)
{
	return debruijn_table.position[((x & (~x + 1)) * debruijn) >> 58];
}

// Halving search for the highest set bit.  x != 0.
constexpr int countl_zero(u64 x)
{
	int n = 0;
	for (int half = 32; half > 0; half /= 2) {
		if ((x >> (64 - half)) == 0) {
			n += half;
			x <<= half;
		}
	}
	return n;
}

// Set bits counted in parallel: pairs, nibbles, bytes, then one multiply
// sums the bytes into the top byte.
constexpr int popcount(u64 x)
{
	x -= (x >> 1) & 0x5555555555555555u;
	x = (x & 0x3333333333333333u) + ((x >> 2) & 0x3333333333333333u);
	x = (x + (x >> 4)) & 0x0f0f0f0f0f0f0f0fu;
	return static_cast<int>((x * 0x0101010101010101u) >> 56);
}

}  // namespace portable

#if defined(BALANCE_CHECK_HAVE_BUILTINS)
inline int countr_zero(u64 x) { return __builtin_ctzll(x); }
inline int countl_zero(u64 x) { return __builtin_clzll(x); }
inline int popcount(u64 x) { return __builtin_popcountll(x); }
#else
using portable::countl_zero;
using portable::countr_zero;
using portable::popcount;
#endif

}  // namespace numbers

#endif
