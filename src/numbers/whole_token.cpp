// Rates go to std::from_chars where target.h chooses it, and the forms it
// does not read as strtod does (hex with its 0x prefix, NaN payloads,
// overflow to infinity, a leading '+') are handled here or handed to
// strtod itself.  Without from_chars, strtod takes every rate: it is exact
// too, and the program never leaves the "C" locale.
#include "numbers/whole_token.h"

#include "numbers/white_space.h"
#include "target.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <system_error>

namespace numbers {

namespace {

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

bool parse_double_token_by_strtod(const char* first, const char* last, double& value)
{
	// strtod would skip white space before the number; a token has none.
	if (first == last || static_cast<std::size_t>(last - first) > max_token_length ||
	    is_space(*first))
		return false;
	return strtod_token(first, static_cast<std::size_t>(last - first), value);
}

#if !defined(BALANCE_CHECK_USE_FROM_CHARS)

bool parse_double_token(const char* first, const char* last, double& value)
{
	return parse_double_token_by_strtod(first, last, value);
}

#else

namespace {

bool is_alpha(char c)
{
	return static_cast<unsigned char>((c | 0x20) - 'a') < 26;
}

}  // namespace

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

#endif

}  // namespace numbers
