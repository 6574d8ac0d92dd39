// Amounts compared as keys: the digits of an amount as a big-endian
// number of their values, so that two amounts compare without being
// converted.
#ifndef BALANCE_CHECK_AMOUNT_KEYS_H
#define BALANCE_CHECK_AMOUNT_KEYS_H

#include <cstddef>
#include <cstdint>

#include "numbers/byte_order.h"
#include "target.h"

namespace stages {

using u64 = std::uint64_t;

// An amount as a key, the digits before `end` as a big-endian
// number of their values, a byte each, in two words: the last 8 digits and
// up to 8 before them, zero bytes before the digits.  Two keys compare as
// the numbers do, leading zeros and all.  Reads the 16 bytes before `end`.
struct Key {
	u64 high, low;
};

struct KeyMasks {
	u64 high, low;
};

// The masks of n (1 to 16) digits' values.
struct KeyMaskTable {
	KeyMasks of[17];
	constexpr KeyMaskTable() : of()
	{
		constexpr u64 values = 0x0f0f0f0f0f0f0f0fu;
		for (int n = 1; n <= 16; ++n)
			of[n] = n > 8 ? KeyMasks{values >> (8 * (16 - n)), values} : KeyMasks{0, values >> (8 * (8 - n))};
	}
};
inline constexpr KeyMaskTable key_masks;

BALANCE_CHECK_INLINE Key key_of(const char* end, std::size_t digits)
{
	const KeyMasks& m = key_masks.of[digits];
	return Key{numbers::load_be64(end - 16) & m.high, numbers::load_be64(end - 8) & m.low};
}

// The masks of 0 to 8 digits' values, one word: the low words of
// key_masks, in a table of their own so that a short key's mask is one
// load.
struct ShortKeyMaskTable {
	u64 of[9];
	constexpr ShortKeyMaskTable() : of()
	{
		for (int n = 1; n <= 8; ++n)
			of[n] = key_masks.of[n].low;
	}
};
inline constexpr ShortKeyMaskTable short_key_masks;

// The key of up to 8 digits, one word: the low word of key_of.  Reads the
// 8 bytes before `end`.
BALANCE_CHECK_INLINE u64 short_key_of(const char* end, std::size_t digits)
{
	return numbers::load_be64(end - 8) & short_key_masks.of[digits];
}

// Whether the owed amount is at most the deducted, from their magnitudes'
// order and their signs; not both 0.  A negative amount is below any other
// sign's.  Bitwise, not branching on the answer, which no predictor knows.
BALANCE_CHECK_INLINE bool signed_at_most(bool less, bool equal, bool owed_minus, bool deducted_minus)
{
	return owed_minus != deducted_minus ? owed_minus : equal | (less != owed_minus);
}

// The digits before the last 16 of an amount of 17 to 24, as a key's
// third word; 0 for fewer.  Reads the 24 bytes before `end`.
BALANCE_CHECK_INLINE u64 top_key_of(const char* end, int digits)
{
	return digits > 16 ? numbers::load_be64(end - 24) & (0x0f0f0f0f0f0f0f0fu >> (8 * (24 - digits))) : 0;
}

// A key's third word below this is an amount of at most 19 digits whose
// first three, if it has 19, are below 922: under strtoll's saturation
// (2^63 - 1 = 9223372036854775807), so that its key compares as its value.
constexpr u64 below_saturation = 0x090202;

// The amounts' magnitudes, `owed_digits` and `deducted_digits` (1 to 19)
// ending at the ends given, compared as three-word keys; false when both
// are 0, or when one may saturate and only the values compare.  Reads the
// 24 bytes before each end.
BALANCE_CHECK_INLINE bool compare_long_keys(const char* owed_end, int owed_digits, const char* deducted_end,
                                            int deducted_digits, bool& less, bool& equal)
{
	const Key o = key_of(owed_end, static_cast<std::size_t>(owed_digits < 16 ? owed_digits : 16)),
	          d = key_of(deducted_end, static_cast<std::size_t>(deducted_digits < 16 ? deducted_digits : 16));
	const u64 o_top = top_key_of(owed_end, owed_digits), d_top = top_key_of(deducted_end, deducted_digits);
	// Bitwise, as signed_at_most.
	const bool top_equal = o_top == d_top;
	const bool high_equal = top_equal & (o.high == d.high);
	less = (o_top < d_top) | (top_equal & (o.high < d.high)) | (high_equal & (o.low < d.low));
	equal = high_equal & (o.low == d.low);
	const bool unsaturated = (o_top < below_saturation) & (d_top < below_saturation);
	return unsaturated & ((o_top | o.high | o.low | d_top | d.high | d.low) != 0);
}

}  // namespace stages

#endif
