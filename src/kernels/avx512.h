// The kernel in AVX-512 (F and BW): the byte classes of a block from one
// 64-byte vector, each class one compare into a mask register, which is
// already the block's bit mask.  Compiled and chosen as avx2.h is.
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

	BALANCE_CHECK_AVX512_TARGET static Classes classify(const char* p)
	{
		const __m512i v = _mm512_loadu_si512(p);
		return Classes{bits_of(range(v, '0', 10)),
		               bits_of(_kor_mask64(_mm512_cmpeq_epi8_mask(v, splat(' ')), range(v, '\t', 5)))};
	}
};

}  // namespace avx512
}  // namespace kernels

#endif
#endif
