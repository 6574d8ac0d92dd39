// The kernel in portable 64-bit words (SWAR): byte classes eight bytes at a
// time.  It runs where no SIMD kernel is chosen, and the tests hold every
// other kernel against it.
#ifndef BALANCE_CHECK_KERNELS_SWAR_H
#define BALANCE_CHECK_KERNELS_SWAR_H

#include <cstddef>
#include <cstdint>

#include "kernels/kernel.h"
#include "numbers/byte_order.h"
#include "target.h"

namespace kernels {
namespace swar {

constexpr u64 ones = 0x0101010101010101u;
constexpr u64 highs = 0x8080808080808080u;
constexpr u64 lows = ~highs;

// The high bit of every byte that is zero.  Exact per byte: the sum of two
// 7-bit values cannot carry into the next byte.
inline u64 zero_bytes(u64 x)
{
	return ~(((x & lows) + lows) | x) & highs;
}

// The high bit of every byte b with first <= b < first + n (first and n
// below 0x80): subtract first in each byte without borrows across bytes,
// then compare with n as for zero_bytes.
inline u64 range_bytes(u64 w, unsigned first, unsigned n)
{
	const u64 f = ones * first;
	const u64 d = ((w | highs) - f) ^ ((w ^ ~f) & highs);
	return ~(((d & lows) + ones * (0x80 - n)) | d) & highs;
}

// The eight high bits to an 8-bit mask, byte i to bit i: each lands in the
// top byte at a position of its own, so the product has no carries there.
inline u64 gather(u64 high_bits)
{
	return ((high_bits >> 7) * 0x0102040810204080u) >> 56;
}

struct Kernel : RunsEverywhere<Kernel> {
	static constexpr const char name[] = "swar";

	static Classes classify(const char* p)
	{
		Classes c{0, 0};
		for (std::size_t i = 0; i < block_bytes / 8; ++i) {
			const u64 w = numbers::load_le64(p + 8 * i);
			const unsigned shift = 8 * static_cast<unsigned>(i);
			c.digit |= gather(range_bytes(w, '0', 10)) << shift;
			c.space |= gather(zero_bytes(w ^ (ones * ' ')) | range_bytes(w, '\t', 5)) << shift;
		}
		return c;
	}
};

}  // namespace swar
}  // namespace kernels

#endif
