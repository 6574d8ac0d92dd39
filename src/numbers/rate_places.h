// A rate read from the known places of its marks, as stage 2 knows them
// from the class bits: no byte is looked at to find where the digits stop,
// and the digits are read eight a word (numbers/digits.h).  The same
// decimal as scan_decimal reads from the same token.
#ifndef BALANCE_CHECK_RATE_PLACES_H
#define BALANCE_CHECK_RATE_PLACES_H

#include <cstddef>
#include <cstdint>

#include "numbers/digits.h"
#include "numbers/exact_value.h"

namespace numbers {

// Where a rate token's marks stand, counted from its first byte: a number's
// form (digits before the letter, and after it if there is one).
struct RatePlaces {
	int sign;    // 1 when a sign leads the token, else 0
	int point;   // the point, or -1 for none
	int letter;  // the exponent letter, or `end` for none
	int end;     // the token's length
};

// The value of n (0 to 19) digits at d.
inline std::uint64_t value_or_zero(const char* d, int n)
{
	return n == 0 ? 0 : value_of_digits(d, n);
}

// The decimal of the token at t, its marks at `r`; false when its digits
// before the letter are more than 19 (leading zeros, say) or those of its
// exponent more than 8: scan_decimal reads those.  Reads up to 7 bytes past
// the token.
inline bool decimal_at(const char* t, const RatePlaces& r, Decimal& d)
{
	const bool point = r.point >= 0;
	const int whole = (point ? r.point : r.letter) - r.sign;
	const int fraction = point ? r.letter - r.point - 1 : 0;
	if (whole + fraction > max_fast_digits)
		return false;
	d.mantissa = value_or_zero(t + r.sign, whole) * pow10_u64[fraction] +
	             value_or_zero(t + r.letter - fraction, fraction);
	d.exponent = -fraction;
	d.negative = (r.sign != 0) & (*t == '-');
	if (r.letter == r.end)
		return true;
	const char* const e = t + r.letter + 1;
	const int sign = *e == '-' || *e == '+' ? 1 : 0;
	const int digits = r.end - r.letter - 1 - sign;
	if (digits > 8)
		return false;
	const auto x = static_cast<std::ptrdiff_t>(value_of_digits(e + sign, digits));  // below 10^8
	d.exponent += *e == '-' ? -x : x;
	return true;
}

}  // namespace numbers

#endif
