// The plain query path's kernel in portable 64-bit words (SWAR): the byte
// classes of a 64-byte window eight bytes at a time, and token values by
// the digit ladder of digits.h.  It runs where no SIMD kernel is chosen,
// and the tests hold every other kernel against it.
#ifndef BALANCE_CHECK_PLAIN_KERNEL_GENERIC_H
#define BALANCE_CHECK_PLAIN_KERNEL_GENERIC_H

#include <cstddef>
#include <cstdint>

#include "digits.h"

namespace plain {

using u64 = std::uint64_t;

// Byte classes of the window at p, one bit per byte, the first byte lowest.
struct Classes {
	u64 digit, point, space, sign, exponent;  // exponent: 'e' and 'E'
};

constexpr int window = 64;

namespace generic {

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

// The first 8-byte word of 16-byte block b.
inline std::size_t words(int block)
{
	return 2 * static_cast<std::size_t>(block);
}

struct Kernel {
	// Digits, points and white space of the 16-byte blocks first to
	// last - 1 of the window; signs are left to signs(), as most files
	// have none.
	static Classes classify(const char* p, int first, int last)
	{
		Classes c{0, 0, 0, 0, 0};
		for (std::size_t i = words(first); i < words(last); ++i) {
			const u64 w = load8(p + 8 * i);
			c.digit |= gather(digit_bytes(w)) << (8 * i);
			c.point |= gather(zero_bytes(w ^ (ones * '.'))) << (8 * i);
			c.space |= gather(zero_bytes(w ^ (ones * ' ')) | range_bytes(w, '\t', 5)) << (8 * i);
		}
		return c;
	}

	// The signs of the same blocks.
	static u64 signs(const char* p, int first, int last)
	{
		u64 sign = 0;
		for (std::size_t i = words(first); i < words(last); ++i) {
			const u64 w = load8(p + 8 * i);
			sign |= gather(zero_bytes(w ^ (ones * '+')) | zero_bytes(w ^ (ones * '-'))) << (8 * i);
		}
		return sign;
	}

	// The exponent letters of the same blocks.
	static u64 exponents(const char* p, int first, int last)
	{
		u64 letter = 0;
		for (std::size_t i = words(first); i < words(last); ++i)
			letter |= gather(zero_bytes((load8(p + 8 * i) | (ones * 0x20)) ^ (ones * 'e'))) << (8 * i);
		return letter;
	}

	// The values of two runs of 1 to 8 digits that end at a and b.
	static void two_values(const char* a, int an, const char* b, int bn, u64& va, u64& vb)
	{
		va = digits_value(load8(a - an), an);
		vb = digits_value(load8(b - bn), bn);
	}

	// The value of a run of 0 to 16 digits that ends at e.
	static u64 value16(const char* e, int n)
	{
		if (n == 0)
			return 0;
		if (n <= 8)
			return digits_value(load8(e - n), n);
		return digits_value(load8(e - n), n - 8) * 100000000u + digits_value(load8(e - 8), 8);
	}
};

}  // namespace generic
}  // namespace plain

#endif
