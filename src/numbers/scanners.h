// Scanners: read one number in place, from its first byte to wherever it
// stops, inline so that the general path and stage 2's other forms make no
// calls.  They read from p without a length: the text must be followed by
// a byte that ends every number (the NUL at the input buffer's end) and
// then by scan_padding - 1 more readable bytes, since digits are loaded
// eight at a time.  They return the end of the number they read; whether the token
// ends there too is the caller's question (see whole_token.h).
#ifndef BALANCE_CHECK_SCANNERS_H
#define BALANCE_CHECK_SCANNERS_H

#include <cstddef>
#include <cstdint>
#include <limits>

#include "layout.h"
#include "numbers/digits.h"
#include "numbers/exact_value.h"

namespace numbers {

constexpr std::size_t scan_padding = scanner_reach;

inline bool is_digit(char c)
{
	return static_cast<unsigned char>(c - '0') < 10;
}

inline unsigned digit_value(char c)
{
	return static_cast<unsigned char>(c - '0');
}

// Optional sign, then decimal digits; saturates as strtoll does.  Returns p
// when there are no digits.
inline const char* scan_int64(const char* p, std::int64_t& value)
{
	const char* const first = p;
	const bool negative = *p == '-';
	if (*p == '-' || *p == '+')
		++p;
	const char* const digits = p;
	while (*p == '0')
		++p;
	const char* const significant = p;
	std::uint64_t m = 0;
	p = scan_digits(p, m);
	if (p == digits)
		return first;

	if (p - significant > max_fast_digits)  // m has wrapped; far beyond the range
		value = negative ? std::numeric_limits<std::int64_t>::min() : std::numeric_limits<std::int64_t>::max();
	else
		value = saturated(m, negative);
	return p;
}

// The syntax of a decimal of at most 19 significant digits, in the form
// strtod reads: optional sign, digits with at most one point, an optional
// exponent.  Returns nullptr when the text is outside it (no digit, or more
// than 19 significant ones): the general path then converts the whole token
// with parse_double_token, and stage 2 refuses the query to it.
inline const char* scan_decimal(const char* p, Decimal& d)
{
	d.negative = *p == '-';
	if (*p == '-' || *p == '+')
		++p;

	bool any_digit = false;
	while (*p == '0') {
		++p;
		any_digit = true;
	}
	std::uint64_t m = 0;
	const char* run = p;
	p = scan_digits(p, m);
	std::ptrdiff_t digits = p - run;
	std::ptrdiff_t exponent = 0;
	if (*p == '.') {
		++p;
		if (digits == 0) {  // zeros right after the point only scale
			run = p;
			while (*p == '0')
				++p;
			exponent -= p - run;
			any_digit = any_digit || p != run;
		}
		run = p;
		p = scan_digits(p, m);
		digits += p - run;
		exponent -= p - run;
	}
	any_digit = any_digit || digits != 0;
	if (!any_digit || digits > max_fast_digits)
		return nullptr;

	if ((*p | 0x20) == 'e') {
		const char* e = p + 1;
		const bool exp_negative = *e == '-';
		if (*e == '-' || *e == '+')
			++e;
		if (is_digit(*e)) {
			std::ptrdiff_t x = 0;
			for (; is_digit(*e); ++e)
				if (x < 100000)  // far past any finite double; stops overflow
					x = x * 10 + static_cast<std::ptrdiff_t>(digit_value(*e));
			exponent += exp_negative ? -x : x;
			p = e;
		}  // else the 'e' is not part of the number
	}
	d.mantissa = m;
	d.exponent = exponent;
	return p;
}

// The exact fast path: a decimal that scan_decimal reads and value_of
// converts; nullptr otherwise, as scan_decimal.
inline const char* scan_double_fast(const char* p, double& value)
{
	Decimal d;
	const char* const end = scan_decimal(p, d);
	return end != nullptr && value_of(d, value) ? end : nullptr;
}

}  // namespace numbers

#endif
