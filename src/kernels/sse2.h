// The kernel in SSE2: byte classes from four 16-byte vectors.  Compiled
// only where target.h finds SSE2 (all of x86-64, and 32-bit x86 built with
// -msse2).
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

inline u64 mask(__m128i v)
{
	return static_cast<unsigned>(_mm_movemask_epi8(v));
}

inline __m128i digits_of(__m128i v)
{
	// As signed bytes, digits minus ('0' + 128) are the only values below -118.
	const __m128i shifted = _mm_sub_epi8(v, _mm_set1_epi8(static_cast<char>('0' + 128)));
	return _mm_cmplt_epi8(shifted, _mm_set1_epi8(static_cast<char>(-128 + 10)));
}

// The bytes 9 to 13 are at most 4 after subtracting 9 (SSE2 has no
// unsigned compare).
inline __m128i spaces_of(__m128i v)
{
	const __m128i controls = _mm_subs_epu8(_mm_sub_epi8(v, _mm_set1_epi8(9)), _mm_set1_epi8(4));
	return _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(' ')),
	                    _mm_cmpeq_epi8(controls, _mm_setzero_si128()));
}

struct Kernel : RunsEverywhere<Kernel> {
	static constexpr const char name[] = "sse2";

	static Classes classify(const char* p)
	{
		Classes c{0, 0};
		for (int i = 0; i < block_bytes / 16; ++i) {
			const __m128i v = load16(p + std::ptrdiff_t{16} * i);
			const int shift = 16 * i;
			c.digit |= mask(digits_of(v)) << shift;
			c.space |= mask(spaces_of(v)) << shift;
		}
		return c;
	}
};

}  // namespace sse2
}  // namespace kernels

#endif
#endif
