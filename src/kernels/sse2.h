// The window kernel in SSE2: byte classes from 16-byte vectors, and the
// digits of two tokens converted together in one multiply-add ladder.
// Compiled only where target.h finds SSE2 (all of x86-64, and 32-bit x86
// built with -msse2).
#ifndef BALANCE_CHECK_KERNELS_SSE2_H
#define BALANCE_CHECK_KERNELS_SSE2_H

#include "target.h"

#if defined(BALANCE_CHECK_HAVE_SSE2)

#include <emmintrin.h>

#include <cstddef>
#include <cstdint>

#include "kernels/kernel.h"

namespace kernels {
namespace sse2 {

inline __m128i load16(const char* p)
{
	return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

inline __m128i load_low8(const char* p)  // into the low half
{
	return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
}

inline u64 low64(__m128i v)
{
#if defined(BALANCE_CHECK_X86_64)
	return static_cast<u64>(_mm_cvtsi128_si64(v));
#else
	// 32-bit x86 has no 64-bit move out of a vector register.
	return static_cast<u64>(static_cast<std::uint32_t>(_mm_cvtsi128_si32(v))) |
	       static_cast<u64>(static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(v, 4)))) << 32;
#endif
}

// 8 zero bytes, then 8 of 0xff: loading 8 bytes at keep + n keeps the last n.
alignas(16) inline constexpr unsigned char keep[16] = {0, 0, 0, 0, 0, 0, 0, 0,
                                                0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff};

inline __m128i last_digits(const char* end, int n)  // n <= 8, into 8 bytes
{
	const __m128i kept = load_low8(reinterpret_cast<const char*>(keep) + n);
	return _mm_and_si128(_mm_sub_epi8(load_low8(end - 8), _mm_set1_epi8('0')), kept);
}

// Two 8-digit numbers, one per half of v (digit values, most significant
// first), to two 32-bit values in the low 64 bits: pairs, then fours, then
// eights, each step a multiply-add of neighbours.
inline u64 ladder(__m128i v)
{
	const __m128i zero = _mm_setzero_si128();
	const __m128i tens = _mm_set_epi16(1, 10, 1, 10, 1, 10, 1, 10);
	const __m128i hundreds = _mm_set_epi16(1, 100, 1, 100, 1, 100, 1, 100);
	const __m128i ten_thousands = _mm_set_epi16(1, 10000, 1, 10000, 1, 10000, 1, 10000);
	const __m128i pairs = _mm_packs_epi32(_mm_madd_epi16(_mm_unpacklo_epi8(v, zero), tens),
	                                      _mm_madd_epi16(_mm_unpackhi_epi8(v, zero), tens));
	const __m128i fours = _mm_madd_epi16(pairs, hundreds);
	const __m128i eights = _mm_madd_epi16(_mm_packs_epi32(fours, fours), ten_thousands);
	return low64(eights);
}

inline u64 mask(__m128i v)
{
	return static_cast<unsigned>(_mm_movemask_epi8(v));
}

inline __m128i points_of(__m128i v)
{
	return _mm_cmpeq_epi8(v, _mm_set1_epi8('.'));
}

inline __m128i digits_of(__m128i v)
{
	// As signed bytes, digits minus ('0' + 128) are the only values below -118.
	const __m128i shifted = _mm_sub_epi8(v, _mm_set1_epi8(static_cast<char>('0' + 128)));
	return _mm_cmplt_epi8(shifted, _mm_set1_epi8(static_cast<char>(-128 + 10)));
}

// ' ', and \t \n \v \f \r (9 to 13): after subtracting 9, at most 4.
inline __m128i spaces_of(__m128i v)
{
	const __m128i controls = _mm_subs_epu8(_mm_sub_epi8(v, _mm_set1_epi8(9)), _mm_set1_epi8(4));
	return _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(' ')),
	                    _mm_cmpeq_epi8(controls, _mm_setzero_si128()));
}

inline __m128i signs_of(__m128i v)
{
	return _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('+')), _mm_cmpeq_epi8(v, _mm_set1_epi8('-')));
}

struct Kernel : RunsEverywhere<Kernel> {
	static constexpr const char name[] = "sse2";

	template <int bytes>
	static Classes classify(const char* p)
	{
		Classes c{0, 0, 0, 0, 0};
		for (int i = 0; i < bytes / 16; ++i) {
			const __m128i v = load16(p + std::ptrdiff_t{16} * i);
			c.digit |= mask(digits_of(v)) << (16 * i);
			c.point |= mask(points_of(v)) << (16 * i);
			c.space |= mask(spaces_of(v)) << (16 * i);
		}
		return c;
	}

	template <int bytes>
	static u64 signs(const char* p)
	{
		u64 sign = 0;
		for (int i = 0; i < bytes / 16; ++i)
			sign |= mask(signs_of(load16(p + std::ptrdiff_t{16} * i))) << (16 * i);
		return sign;
	}

	template <int bytes>
	static u64 exponents(const char* p)
	{
		u64 letter = 0;
		for (int i = 0; i < bytes / 16; ++i) {
			const __m128i lower = _mm_or_si128(load16(p + std::ptrdiff_t{16} * i), _mm_set1_epi8(0x20));
			letter |= mask(_mm_cmpeq_epi8(lower, _mm_set1_epi8('e'))) << (16 * i);
		}
		return letter;
	}

	static void two_values(const char* a, int an, const char* b, int bn, u64& va, u64& vb)
	{
		const u64 both = ladder(_mm_unpacklo_epi64(last_digits(a, an), last_digits(b, bn)));
		va = both & 0xffffffffu;
		vb = both >> 32;
	}

	static u64 value16(const char* e, int n)
	{
		const int high = n > 8 ? n - 8 : 0;
		const u64 both = ladder(_mm_unpacklo_epi64(last_digits(e - 8, high),
		                                           last_digits(e, n - high)));
		return (both & 0xffffffffu) * 100000000u + (both >> 32);
	}
};

}  // namespace sse2
}  // namespace kernels

#endif
#endif
