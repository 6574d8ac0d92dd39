// Number conversion.  Plain decimals take a fast path that is exact by
// construction (Clinger: an integer mantissa below 2^53 times or divided by
// an exactly representable power of ten rounds once).  Everything else goes
// to std::from_chars, and the forms it does not read as strtod does (hex
// with its 0x prefix, NaN payloads, overflow to infinity, a leading '+')
// are handled here or handed to strtod itself.
#include "number_parse.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <system_error>

namespace {

using u64 = std::uint64_t;

bool is_digit(char c)
{
	return static_cast<unsigned char>(c - '0') < 10;
}

unsigned digit_value(char c)
{
	return static_cast<unsigned char>(c - '0');
}

// Powers of ten that are exact doubles.
constexpr double exact_pow10[] = {
	1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
	1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22,
};
constexpr int max_exact_pow10 = 22;
constexpr u64 max_exact_mantissa = u64{1} << 53;
constexpr int max_fast_digits = 19;  // 19 digits always fit in 64 bits

bool is_alpha(char c)
{
	return static_cast<unsigned char>((c | 0x20) - 'a') < 26;
}

// strtod on a NUL-terminated copy: the reference for the rare forms.
bool strtod_token(const char* first, std::size_t n, double& value)
{
	char copy[max_token_length + 1];
	std::memcpy(copy, first, n);
	copy[n] = '\0';
	char* end = nullptr;
	double v = std::strtod(copy, &end);
	if (end != copy + n)
		return false;  // not whole, or an embedded NUL
	value = v;
	return true;
}

}  // namespace

const char* scan_int64(const char* p, std::int64_t& value)
{
	const char* const first = p;
	const bool negative = *p == '-';
	if (*p == '-' || *p == '+')
		++p;
	const char* const digits = p;
	while (*p == '0')
		++p;
	const char* const significant = p;
	u64 m = 0;
	while (is_digit(*p)) {
		m = m * 10 + digit_value(*p);  // wraps past 19 digits; checked below
		++p;
	}
	if (p == digits)
		return first;

	constexpr std::int64_t max = std::numeric_limits<std::int64_t>::max();
	constexpr std::int64_t min = std::numeric_limits<std::int64_t>::min();
	constexpr u64 magnitude_max = static_cast<u64>(max);
	if (p - significant > max_fast_digits || m > magnitude_max + (negative ? 1 : 0))
		value = negative ? min : max;
	else if (!negative)
		value = static_cast<std::int64_t>(m);
	else if (m > magnitude_max)
		value = min;
	else
		value = -static_cast<std::int64_t>(m);
	return p;
}

const char* scan_double_fast(const char* p, double& value)
{
	const bool negative = *p == '-';
	if (*p == '-' || *p == '+')
		++p;

	bool any_digit = false;
	while (*p == '0') {
		++p;
		any_digit = true;
	}
	u64 m = 0;
	const char* run = p;
	while (is_digit(*p)) {
		m = m * 10 + digit_value(*p);
		++p;
	}
	long digits = p - run;
	long exponent = 0;
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
		while (is_digit(*p)) {
			m = m * 10 + digit_value(*p);
			++p;
		}
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
			long x = 0;
			for (; is_digit(*e); ++e)
				if (x < 100000)  // far past any finite double; stops overflow
					x = x * 10 + digit_value(*e);
			exponent += exp_negative ? -x : x;
			p = e;
		}  // else the 'e' is not part of the number
	}

	double v;
	if (m == 0)
		v = 0.0;
	else if (m > max_exact_mantissa || exponent < -max_exact_pow10 ||
	         exponent > max_exact_pow10)
		return nullptr;
	else if (exponent >= 0)
		v = static_cast<double>(m) * exact_pow10[exponent];
	else
		v = static_cast<double>(m) / exact_pow10[-exponent];
	value = negative ? -v : v;
	return p;
}

bool parse_int64_token(const char* first, const char* last, std::int64_t& value)
{
	if (first == last || static_cast<std::size_t>(last - first) > max_token_length)
		return false;
	// scan_int64 needs a terminator that no number contains.
	char copy[max_token_length + 1];
	std::memcpy(copy, first, static_cast<std::size_t>(last - first));
	copy[last - first] = '\0';
	std::int64_t v;
	if (scan_int64(copy, v) != copy + (last - first))
		return false;
	value = v;
	return true;
}

bool parse_double_token(const char* first, const char* last, double& value)
{
	if (first == last || static_cast<std::size_t>(last - first) > max_token_length)
		return false;
	const std::size_t n = static_cast<std::size_t>(last - first);
	const bool negative = *first == '-';
	const char* body = first + (negative || *first == '+' ? 1 : 0);
	if (body == last)
		return false;
	const bool hex = body[0] == '0' && body + 1 != last && (body[1] | 0x20) == 'x';
	if (hex || is_alpha(body[0]))
		return strtod_token(first, n, value);  // hex, inf, infinity, nan(...)
	if (*body == '-' || *body == '+')
		return false;

	double v;
	const auto [end, ec] = std::from_chars(body, last, v);
	if (end != last)
		return false;
	if (ec == std::errc::result_out_of_range)
		return strtod_token(first, n, value);  // infinity, or underflow to 0
	if (ec != std::errc{})
		return false;
	value = negative ? -v : v;
	return true;
}
