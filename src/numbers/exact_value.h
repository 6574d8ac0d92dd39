// From digits to exact values, as strtoll and strtod give them: a
// magnitude saturated at the 64-bit limits, and a decimal (a mantissa, a
// power of ten and a sign, however its syntax was read) scaled with one
// rounding.  Shared by the scanners and stage 2's conversions
// (stages/other_forms.cpp), so that both give the same values.
#ifndef BALANCE_CHECK_EXACT_VALUE_H
#define BALANCE_CHECK_EXACT_VALUE_H

#include <cstddef>
#include <cstdint>
#include <limits>

#include "numbers/exact_division.h"

namespace numbers {

// Powers of ten that are exact doubles.
inline constexpr const double (&exact_pow10)[exact::max_pow10 + 1] = exact::pow10;
constexpr int max_exact_pow10 = exact::max_pow10;
constexpr std::uint64_t max_exact_mantissa = std::uint64_t{1} << 53;
constexpr std::ptrdiff_t max_fast_digits = 19;  // 19 digits always fit in 64 bits

// A magnitude of at most 19 digits and its sign as strtoll gives them:
// saturated beyond the range of int64_t.
inline std::int64_t saturated(std::uint64_t magnitude, bool negative)
{
	constexpr std::int64_t max = std::numeric_limits<std::int64_t>::max();
	constexpr std::int64_t min = std::numeric_limits<std::int64_t>::min();
	if (magnitude > static_cast<std::uint64_t>(max))  // 2^63 itself is min's
		return negative ? min : max;
	return negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
}

// m * 10^e rounded once, where that is exact work: a mantissa up to 2^53
// times or divided by an exact power of ten rounds once (Clinger); a longer
// one divided by a power of ten is settled by divide_exactly.  False
// otherwise.
inline bool scale_exactly(std::uint64_t m, std::ptrdiff_t e, double& value)
{
	if (m == 0) {  // zero, whatever the exponent
		value = 0.0;
		return true;
	}
	if (e < -max_exact_pow10 || e > max_exact_pow10)
		return false;
	if (m <= max_exact_mantissa) {
		value = e >= 0 ? static_cast<double>(m) * exact_pow10[e] : static_cast<double>(m) / exact_pow10[-e];
		return true;
	}
	return e < 0 && divide_exactly(m, static_cast<int>(-e), value);
}

// A rate's number as its syntax gives it: the value is mantissa * 10^exponent,
// the mantissa of at most 19 digits, so that it is exact in 64 bits.  The
// scanners read it byte by byte, stage 2 from its marks' known places
// (numbers/rate_places.h); both convert it here.
struct Decimal {
	std::uint64_t mantissa;
	std::ptrdiff_t exponent;
	bool negative;
};

// The decimal's value with one rounding; false where that is not exact work
// (scale_exactly).
inline bool value_of(const Decimal& d, double& value)
{
	double v;
	if (!scale_exactly(d.mantissa, d.exponent, v))
		return false;
	value = d.negative ? -v : v;
	return true;
}

}  // namespace numbers

#endif
