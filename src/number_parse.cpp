// Whole-token number conversion.  Plain decimals take the fast path of
// number_scan.h; the long-mantissa division it needs lives here.  Everything
// else goes
// to std::from_chars, and the forms it does not read as strtod does (hex
// with its 0x prefix, NaN payloads, overflow to infinity, a leading '+')
// are handled here or handed to strtod itself.
#include "number_parse.h"

#include "number_scan.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <system_error>

namespace {

using u64 = std::uint64_t;

__extension__ typedef unsigned __int128 u128;

struct Binary {
	u64 mantissa;  // with the implicit bit
	int exponent;  // value = mantissa * 2^exponent
};

Binary decompose(double x)  // x positive and normal
{
	u64 bits;
	std::memcpy(&bits, &x, sizeof bits);
	return {(bits & ((u64{1} << 52) - 1)) | (u64{1} << 52), static_cast<int>(bits >> 52) - 1075};
}

double adjacent(double x, int direction)  // x positive and normal
{
	u64 bits;
	std::memcpy(&bits, &x, sizeof bits);
	bits = direction > 0 ? bits + 1 : bits - 1;
	std::memcpy(&x, &bits, sizeof x);
	return x;
}

struct Pow10Table {
	u128 p[max_exact_pow10 + 1];
	constexpr Pow10Table() : p()
	{
		u128 x = 1;
		for (int k = 0; k <= max_exact_pow10; ++k, x *= 10)
			p[k] = x;
	}
};
constexpr Pow10Table pow10_u128;

// m / 10^k correctly rounded, for mantissas too long for a single rounding
// (2^53 < m < 2^64, 1 <= k <= 22).  The quotient of the rounded mantissa is
// within two ulps; it moves to the neighbour whose rounding interval holds
// the exact quotient, compared in 128-bit integers:  m / 10^k against the
// midpoints (2M +- 1) * 2^(e-1) of x = M * 2^e.  False where that is not
// simple (a power of two, whose lower neighbour is closer; huge or tiny
// values); from_chars takes those.
}  // namespace

bool divide_exactly(u64 m, int k, double& value)
{
	const u128 p10 = pow10_u128.p[k];  // below 2^74, so (2M + 1) * p10 fits
	double x = static_cast<double>(m) / exact_pow10[k];
	for (int step = 0; step < 3; ++step) {
		if (!(x >= 2.2250738585072014e-308) || !(x < 9007199254740992.0))
			return false;
		const Binary b = decompose(x);
		const int shift = 1 - b.exponent;  // >= 1 below 2^53
		if (b.mantissa == (u64{1} << 52) || 64 - __builtin_clzll(m) + shift > 128)
			return false;
		const u128 scaled = u128{m} << shift;
		const u128 above = u128{2 * b.mantissa + 1} * p10;
		const u128 below = u128{2 * b.mantissa - 1} * p10;
		const bool odd = (b.mantissa & 1) != 0;  // ties go to the even neighbour
		if (scaled > above || (scaled == above && odd))
			x = adjacent(x, 1);
		else if (scaled < below || (scaled == below && odd))
			x = adjacent(x, -1);
		else {
			value = x;
			return true;
		}
	}
	return false;
}

namespace {

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

bool parse_int64_token(const char* first, const char* last, std::int64_t& value)
{
	if (first == last || static_cast<std::size_t>(last - first) > max_token_length)
		return false;
	// scan_int64 needs a terminator that no number contains, and padding.
	char copy[max_token_length + scan_padding];
	const std::size_t n = static_cast<std::size_t>(last - first);
	std::memcpy(copy, first, n);
	std::memset(copy + n, 0, scan_padding);
	std::int64_t v = 0;
	if (scan_int64(copy, v) != copy + n)
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
