// The kernel in AVX-512 (F and BW): the byte classes of a block from one
// 64-byte vector, each class one compare into a mask register, which is
// already the block's bit mask.  As with AVX2, every function is compiled
// for these instruction sets alone, and run() flattens the caller's loop
// into one such function.
#ifndef BALANCE_CHECK_KERNELS_AVX512_H
#define BALANCE_CHECK_KERNELS_AVX512_H

#include "target.h"

#if defined(BALANCE_CHECK_HAVE_AVX512)

#include <immintrin.h>

#include <cstdint>

#include "kernels/kernel.h"
#include "kernels/x86_features.h"

#define BALANCE_CHECK_AVX512_TARGET BALANCE_CHECK_TARGET(BALANCE_CHECK_AVX512_SETS)

namespace kernels {
namespace avx512 {

BALANCE_CHECK_AVX512_TARGET inline __m512i splat(char c)
{
	return _mm512_set1_epi8(c);
}

// Bytes b with first <= b < first + n.
BALANCE_CHECK_AVX512_TARGET inline __mmask64 range(__m512i v, char first, char n)
{
	return _mm512_cmplt_epu8_mask(_mm512_sub_epi8(v, splat(first)), splat(n));
}

BALANCE_CHECK_AVX512_TARGET inline u64 bits_of(__mmask64 m)
{
	return _cvtmask64_u64(m);
}

struct Kernel {
	static constexpr const char name[] = "avx512";

	static bool runs_here() { return x86_features().avx512; }

	template <typename Body>
	BALANCE_CHECK_AVX512_TARGET BALANCE_CHECK_FLATTEN static auto run(Body&& body)
	{
		return body(Kernel{});
	}

	// Sixteen at a time: the offsets of the set bits compressed to the
	// front of a vector of 32-bit lanes, and all 16 lanes stored.
	BALANCE_CHECK_AVX512_TARGET static std::uint32_t* append_positions(std::uint32_t* out, u64 bits,
	                                                                   std::uint32_t base)
	{
		const __m512i offsets = _mm512_set_epi32(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
		for (int quarter = 0; quarter < 4; ++quarter) {
			const auto lanes = static_cast<__mmask16>(bits >> (16 * quarter));
			const __m512i at = _mm512_add_epi32(offsets, _mm512_set1_epi32(static_cast<int>(base) + 16 * quarter));
			_mm512_storeu_si512(out, _mm512_maskz_compress_epi32(lanes, at));
			out += _mm_popcnt_u32(lanes);
		}
		return out;
	}

	BALANCE_CHECK_AVX512_TARGET static Classes classify(const char* p)
	{
		const __m512i v = _mm512_loadu_si512(p);
		const __m512i lower = _mm512_or_si512(v, splat(0x20));  // 'E' to 'e'
		return Classes{bits_of(range(v, '0', 10)), bits_of(_mm512_cmpeq_epi8_mask(v, splat('.'))),
		               bits_of(_kor_mask64(_mm512_cmpeq_epi8_mask(v, splat(' ')), range(v, '\t', 5))),
		               bits_of(_kor_mask64(_mm512_cmpeq_epi8_mask(v, splat('+')),
		                                   _mm512_cmpeq_epi8_mask(v, splat('-')))),
		               bits_of(_mm512_cmpeq_epi8_mask(lower, splat('e')))};
	}
};

}  // namespace avx512
}  // namespace kernels

#endif
#endif
