// The everyday query, "1234567 1234000 30 4.25\n", read with SSE2: the
// byte classes of the whole line from three 16-byte compares, and the
// digits of two tokens converted together in one multiply-add ladder.
// Anything else (signs, exponents, longer numbers, a token at the end of
// the data) is left to the general token-by-token path, which gives the
// same values.
#ifndef BALANCE_CHECK_PLAIN_QUERY_H
#define BALANCE_CHECK_PLAIN_QUERY_H

#include <cstddef>
#include <cstdint>

#include "balance.h"
#include "number_scan.h"
#include "text.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Bytes the plain path may read before the first byte of the data and
// after its end: the reader's buffer keeps them, zeroed.
constexpr std::size_t plain_front_padding = 16;
constexpr std::size_t plain_back_padding = 64;
static_assert(plain_back_padding >= scan_padding, "the general scanners read past the end too");

#if defined(__SSE2__)

namespace plain {

inline __m128i load16(const char* p)
{
	return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

inline __m128i load8(const char* p)
{
	return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
}

// 8 zero bytes, then 8 of 0xff: loading 8 bytes at keep + n keeps the last n.
alignas(16) inline constexpr unsigned char keep[16] = {0, 0, 0, 0, 0, 0, 0, 0,
                                                0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff};

inline __m128i last_digits(const char* end, int n)  // n <= 8, into 8 bytes
{
	const __m128i mask = load8(reinterpret_cast<const char*>(keep) + n);
	return _mm_and_si128(_mm_sub_epi8(load8(end - 8), _mm_set1_epi8('0')), mask);
}

// Two 8-digit numbers, one per half of v (digit values, most significant
// first), to two 32-bit values in the low 64 bits: pairs, then fours, then
// eights, each step a multiply-add of neighbours.
inline std::uint64_t ladder(__m128i v)
{
	const __m128i zero = _mm_setzero_si128();
	const __m128i tens = _mm_set_epi16(1, 10, 1, 10, 1, 10, 1, 10);
	const __m128i hundreds = _mm_set_epi16(1, 100, 1, 100, 1, 100, 1, 100);
	const __m128i ten_thousands = _mm_set_epi16(1, 10000, 1, 10000, 1, 10000, 1, 10000);
	const __m128i pairs = _mm_packs_epi32(_mm_madd_epi16(_mm_unpacklo_epi8(v, zero), tens),
	                                      _mm_madd_epi16(_mm_unpackhi_epi8(v, zero), tens));
	const __m128i fours = _mm_madd_epi16(pairs, hundreds);
	const __m128i eights = _mm_madd_epi16(_mm_packs_epi32(fours, fours), ten_thousands);
	return static_cast<std::uint64_t>(_mm_cvtsi128_si64(eights));
}

// The values of two runs of at most 8 digits that end at a and b.
inline void two_values(const char* a, int an, const char* b, int bn, std::uint64_t& va,
                       std::uint64_t& vb)
{
	const std::uint64_t both = ladder(_mm_unpacklo_epi64(last_digits(a, an), last_digits(b, bn)));
	va = both & 0xffffffffu;
	vb = both >> 32;
}

// The value of a run of at most 16 digits that ends at e.
inline std::uint64_t value16(const char* e, int n)
{
	const int high = n > 8 ? n - 8 : 0;
	const std::uint64_t both = ladder(_mm_unpacklo_epi64(last_digits(e - 8, high),
	                                                     last_digits(e, n - high)));
	return (both & 0xffffffffu) * 100000000u + (both >> 32);
}

// Byte classes of the 48 bytes at p, one bit per byte.
struct Classes {
	std::uint64_t digit, point, space;
};

inline std::uint64_t bits(__m128i a, __m128i b, __m128i c)
{
	return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(a))) |
	       static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(b))) << 16 |
	       static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(c))) << 32;
}

inline __m128i digits_of(__m128i v)
{
	// As signed bytes, digits minus ('0' + 128) are the only values below -118.
	const __m128i shifted = _mm_sub_epi8(v, _mm_set1_epi8(static_cast<char>('0' + 128)));
	return _mm_cmplt_epi8(shifted, _mm_set1_epi8(static_cast<char>(-128 + 10)));
}

// The plain path takes the white space of everyday text, ' ' and '\n'; the
// rest of isspace() (\t \v \f \r) goes to the general path.
inline __m128i spaces_of(__m128i v)
{
	return _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(' ')), _mm_cmpeq_epi8(v, _mm_set1_epi8('\n')));
}

inline Classes classify(const char* p)
{
	const __m128i a = load16(p), b = load16(p + 16), c = load16(p + 32);
	const __m128i point = _mm_set1_epi8('.');
	return Classes{bits(digits_of(a), digits_of(b), digits_of(c)),
	               bits(_mm_cmpeq_epi8(a, point), _mm_cmpeq_epi8(b, point), _mm_cmpeq_epi8(c, point)),
	               bits(spaces_of(a), spaces_of(b), spaces_of(c))};
}

constexpr int window = 48;
constexpr std::uint64_t top_bit = std::uint64_t{1} << 63;

inline int lowest(std::uint64_t x)  // the lowest set bit; 63 when none below it
{
	return __builtin_ctzll(x | top_bit);
}

}  // namespace plain

// Reads one plain query at p (white space before it is skipped): three
// integers of 1 to 8 digits and a rate of 1 to 8 integer digits with an
// optional point and up to 16 fraction digits, 19 digits in all, separated
// by white space and followed by it, all within 48 bytes.  Returns the end
// of the rate, or nullptr.
//
// The token boundaries come from bit masks of one classification, not from
// scanning token after token: the next query's start then waits on a few
// bit operations rather than on a chain of loads.
inline const char* read_plain_query(const char* p, BalanceQuery& q)
{
	using plain::lowest;
	p = skip_space(p);
	const plain::Classes c = plain::classify(p);
	const std::uint64_t token = c.digit | c.point;
	const std::uint64_t starts = token & ~(token << 1);
	std::uint64_t ends = ~token & (token << 1);  // the byte after each token
	const int e0 = lowest(ends);
	ends &= ends - 1;
	const int e1 = lowest(ends);
	ends &= ends - 1;
	const int e2 = lowest(ends);
	ends &= ends - 1;
	const int e3 = lowest(ends);
	std::uint64_t later = starts & (starts - 1);
	const int s1 = lowest(later);
	later &= later - 1;
	const int s2 = lowest(later);
	later &= later - 1;
	const int s3 = lowest(later);
	if (e3 >= plain::window)
		return nullptr;

	const std::uint64_t before_end = (std::uint64_t{1} << e3) - 1;
	const std::uint64_t points = c.point & before_end;
	const int point = lowest(points | (std::uint64_t{1} << e3));  // or the end
	const int fraction = e3 - point - (points != 0 ? 1 : 0);
	const int whole = point - s3;
	const bool plain_form =
		(starts & 1) != 0 &&                                 // p is a token
		((token | c.space) & before_end) == before_end &&    // nothing else before the end
		((c.space >> e3) & 1) != 0 &&                        // white space after the rate
		(points & ((std::uint64_t{1} << e2) - 1)) == 0 &&    // integers without a point
		(points & (points - 1)) == 0 &&                      // one point at most
		((c.digit >> s3) & 1) != 0 &&                        // a digit first in the rate
		e0 <= 8 && e1 - s1 <= 8 && e2 - s2 <= 8 && whole <= 8 && fraction <= 16 &&
		whole + fraction <= max_fast_digits;
	if (!plain_form)
		return nullptr;

	std::uint64_t dlh, spl, rok, integer;
	plain::two_values(p + e0, e0, p + e1, e1 - s1, dlh, spl);
	plain::two_values(p + e2, e2 - s2, p + point, whole, rok, integer);
	const std::uint64_t m = integer * pow10_u64[fraction] + plain::value16(p + e3, fraction);
	double rate;
	if (m <= max_exact_mantissa)
		rate = static_cast<double>(m) / exact_pow10[fraction];
	else if (!divide_exactly(m, fraction, rate))
		return nullptr;
	q = BalanceQuery{static_cast<std::int64_t>(dlh), static_cast<std::int64_t>(spl),
	                 static_cast<std::int64_t>(rok), rate};
	return p + e3;
}

#else

// Without SSE2 every query takes the general path.
inline const char* read_plain_query(const char*, BalanceQuery&)
{
	return nullptr;
}

#endif

#endif
