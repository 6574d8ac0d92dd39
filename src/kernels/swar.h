// The window kernel in portable 64-bit words (SWAR): byte classes eight
// bytes at a time, and token values by the digit ladder of digits.h.  It
// runs where no SIMD kernel is chosen, and the tests hold every other
// kernel against it.
#ifndef BALANCE_CHECK_KERNELS_SWAR_H
#define BALANCE_CHECK_KERNELS_SWAR_H

#include <cstddef>
#include <cstdint>

#include "kernels/kernel.h"
#include "numbers/byte_order.h"
#include "numbers/digits.h"
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

inline u64 digit_bytes(u64 w)
{
	return range_bytes(w, '0', 10);
}

// The eight high bits to an 8-bit mask, byte i to bit i: each lands in the
// top byte at a position of its own, so the product has no carries there.
inline u64 gather(u64 high_bits)
{
	return ((high_bits >> 7) * 0x0102040810204080u) >> 56;
}

struct Kernel : RunsEverywhere<Kernel> {
	static constexpr const char name[] = "swar";

	template <int bytes>
	static Classes classify(const char* p)
	{
		Classes c{0, 0, 0, 0, 0};
		for (std::size_t i = 0; i < bytes / 8; ++i) {
			const u64 w = bits::load_le64(p + 8 * i);
			c.digit |= gather(digit_bytes(w)) << (8 * i);
			c.point |= gather(zero_bytes(w ^ (ones * '.'))) << (8 * i);
			c.space |= gather(zero_bytes(w ^ (ones * ' ')) | range_bytes(w, '\t', 5)) << (8 * i);
		}
		return c;
	}

	template <int bytes>
	static u64 signs(const char* p)
	{
		u64 sign = 0;
		for (std::size_t i = 0; i < bytes / 8; ++i) {
			const u64 w = bits::load_le64(p + 8 * i);
			sign |= gather(zero_bytes(w ^ (ones * '+')) | zero_bytes(w ^ (ones * '-'))) << (8 * i);
		}
		return sign;
	}

	template <int bytes>
	static u64 exponents(const char* p)
	{
		u64 letter = 0;
		for (std::size_t i = 0; i < bytes / 8; ++i)
			letter |= gather(zero_bytes((bits::load_le64(p + 8 * i) | (ones * 0x20)) ^ (ones * 'e'))) << (8 * i);
		return letter;
	}

	static void two_values(const char* a, int an, const char* b, int bn, u64& va, u64& vb)
	{
		va = digits_value(bits::load_le64(a - an), an);
		vb = digits_value(bits::load_le64(b - bn), bn);
	}

	static u64 value16(const char* e, int n)
	{
		if (n == 0)
			return 0;
		if (n <= 8)
			return digits_value(bits::load_le64(e - n), n);
		return digits_value(bits::load_le64(e - n), n - 8) * 100000000u + digits_value(bits::load_le64(e - 8), 8);
	}
};

}  // namespace swar
}  // namespace kernels

#endif
