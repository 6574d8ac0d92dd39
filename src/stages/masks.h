// The bit tricks stage 2 reads its masks with, each named once.  A mask
// holds one bit per byte, the first byte lowest, as the index
// (stages/class_index.h) stores them.
#ifndef BALANCE_CHECK_MASKS_H
#define BALANCE_CHECK_MASKS_H

#include <cstdint>

#include "numbers/bit_scan.h"
#include "target.h"

namespace stages {

using u64 = std::uint64_t;

// Bits below `n` (0 to 63).
BALANCE_CHECK_INLINE u64 below_bit(int n)
{
	return (u64{1} << n) - 1;
}

// The lowest set bit alone; 0 for 0.
BALANCE_CHECK_INLINE u64 lowest_bit(u64 x)
{
	return x & (~x + 1);
}

// x less its lowest set bit.
BALANCE_CHECK_INLINE u64 without_lowest(u64 x)
{
	return x & (x - 1);
}

// Whether x has two set bits or more.
BALANCE_CHECK_INLINE bool more_than_one(u64 x)
{
	return without_lowest(x) != 0;
}

// The position of the lowest set bit; x != 0.
BALANCE_CHECK_INLINE int lowest_position(u64 x)
{
	return numbers::countr_zero(x);
}

// The position of the highest set bit; x != 0.
BALANCE_CHECK_INLINE int highest_position(u64 x)
{
	return 63 - numbers::countl_zero(x);
}

// Token starts: token bytes after white space, or first in the mask (the
// byte before a mask's first is white space wherever stage 2 loads one).
BALANCE_CHECK_INLINE u64 starts_of(u64 space)
{
	return ~space & (space << 1 | 1);
}

// Token ends: the white space after a token byte.
BALANCE_CHECK_INLINE u64 ends_of(u64 space)
{
	return space & ~(space << 1 | 1);
}

// The bytes before white space: of a token's bytes, its last.
BALANCE_CHECK_INLINE u64 before_space(u64 space)
{
	return space >> 1;
}

}  // namespace stages

#endif
