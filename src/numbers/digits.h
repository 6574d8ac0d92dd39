// Eight decimal digits at a time in a 64-bit word (SWAR): a mask for where
// the digits stop, and a multiply ladder for their value.
#ifndef BALANCE_CHECK_DIGITS_H
#define BALANCE_CHECK_DIGITS_H

#include <cstdint>

#include "numbers/bit_scan.h"
#include "numbers/byte_order.h"

namespace numbers {

constexpr std::uint64_t zero_chars = 0x3030303030303030u;  // '0' in every byte
constexpr std::uint64_t byte_highs = 0x8080808080808080u;

// How many of the eight bytes, from the first, are decimal digits (0..8).
inline int leading_digits(std::uint64_t v)
{
	// Digits become 0..9; anything else has bit 7 set after adding
	// 0x80 - 10 to each byte, or before.  A carry can only leave a byte
	// that is already flagged, so the lowest flagged byte is exact.
	constexpr std::uint64_t past_nine = 0x7676767676767676u;  // 0x80 - 10 in every byte
	const std::uint64_t a = v ^ zero_chars;
	const std::uint64_t flagged = ((a + past_nine) | a) & byte_highs;
	return flagged == 0 ? 8 : numbers::countr_zero(flagged) >> 3;
}

// The value of the first n digits of v, 1 <= n <= 8, in two rounds: the
// pairs, then the four pairs at once.  The technique is fast_float's
// parse_eight_digits_unrolled (arithmetic on the eight bytes of a word at
// once), here with the digits moved to the top so that fewer than eight
// need no other code.
inline std::uint64_t digits_value(std::uint64_t v, int n)
{
	// Move the n digits to the top: the bytes below become leading zeros.
	std::uint64_t a = (v ^ zero_chars) << (8 * (8 - n));
	// Pairs: each byte times 10 plus the next, in the low byte of each pair.
	a = (a * 10) + (a >> 8);
	// Then the four pairs (bytes 0, 2, 4, 6) join in one multiply-add:
	// the pairs at bytes 0 and 4 times 10^6 and 10^2, those at bytes 2 and
	// 6 times 10^4 and 1, each product landing in the top half.
	constexpr std::uint64_t pairs_0_and_4 = 0x000000FF000000FFu;
	constexpr std::uint64_t million_and_hundred = std::uint64_t{1000000} << 32 | 100;
	constexpr std::uint64_t ten_thousand_and_one = std::uint64_t{10000} << 32 | 1;
	a = (((a & pairs_0_and_4) * million_and_hundred) + (((a >> 16) & pairs_0_and_4) * ten_thousand_and_one)) >> 32;
	return a;
}

// Every power of ten that fits 64 bits.
inline constexpr std::uint64_t pow10_u64[] = {
	1u, 10u, 100u, 1000u, 10000u, 100000u, 1000000u, 10000000u, 100000000u,
	1000000000u, 10000000000u, 100000000000u, 1000000000000u, 10000000000000u,
	100000000000000u, 1000000000000000u, 10000000000000000u, 100000000000000000u,
	1000000000000000000u, 10000000000000000000u,
};

// The value of n (1 to 19) digits at d, whose count is known, eight at a
// time; 19 digits always fit in 64 bits.  Reads up to 7 bytes past them.
inline std::uint64_t value_of_digits(const char* d, int n)
{
	if (n <= 8)
		return digits_value(load_le64(d), n);
	const std::uint64_t last8 = digits_value(load_le64(d + n - 8), 8);
	if (n <= 16)
		return digits_value(load_le64(d), n - 8) * pow10_u64[8] + last8;
	const std::uint64_t first =
		digits_value(load_le64(d), n - 16) * pow10_u64[8] + digits_value(load_le64(d + n - 16), 8);
	return first * pow10_u64[8] + last8;
}

// Reads a run of digits at p into m (m * 10^len + run, wrapping past 19
// digits) and returns its end.  Reads up to 7 bytes past the byte that
// stops the run.
inline const char* scan_digits(const char* p, std::uint64_t& m)
{
	for (;;) {
		const std::uint64_t v = numbers::load_le64(p);
		const int n = leading_digits(v);
		if (n == 0)
			return p;
		m = m * pow10_u64[n] + digits_value(v, n);
		p += n;
		if (n < 8)
			return p;
	}
}

}  // namespace numbers

#endif
