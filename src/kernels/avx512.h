// The window kernel in AVX-512 (F, BW, VL): the byte classes of the whole
// window from one 64-byte vector, each class one compare into a mask
// register, which is already the window's bit mask.  Digit values come from
// the SSE2 kernel's ladder in AVX's encoding.  As with AVX2, every function
// is compiled for these instruction sets alone, and run() flattens the
// caller's loop into one such function.
#ifndef BALANCE_CHECK_KERNELS_AVX512_H
#define BALANCE_CHECK_KERNELS_AVX512_H

#include "target.h"

#if defined(BALANCE_CHECK_HAVE_AVX512)

#include <immintrin.h>

#include <cstdint>

#include "kernels/kernel.h"
#include "kernels/sse2.h"
#include "kernels/x86_features.h"

#define BALANCE_CHECK_AVX512_TARGET \
	BALANCE_CHECK_TARGET("avx512f,avx512bw,avx512vl,avx2,bmi,bmi2,popcnt")

namespace kernels {
namespace avx512 {

BALANCE_CHECK_AVX512_TARGET inline __m512i splat(char c)
{
	return _mm512_set1_epi8(c);
}

template <int bytes>
BALANCE_CHECK_AVX512_TARGET inline u64 cut(__mmask64 m)
{
	const u64 bits = _cvtmask64_u64(m);
	return bytes == window ? bits : bits & ((u64{1} << bytes) - 1);
}

// Bytes b with first <= b < first + n.
BALANCE_CHECK_AVX512_TARGET inline __mmask64 range(__m512i v, char first, char n)
{
	return _mm512_cmplt_epu8_mask(_mm512_sub_epi8(v, splat(first)), splat(n));
}

struct Kernel : sse2::Kernel {
	static constexpr const char name[] = "avx512";

	static bool runs_here() { return x86_features().avx512; }

	template <typename Body>
	BALANCE_CHECK_AVX512_TARGET BALANCE_CHECK_FLATTEN static auto run(Body&& body)
	{
		return body(Kernel{});
	}

	template <int bytes>
	BALANCE_CHECK_AVX512_TARGET static Classes classify(const char* p)
	{
		const __m512i v = _mm512_loadu_si512(p);
		const __mmask64 space = _kor_mask64(_mm512_cmpeq_epi8_mask(v, splat(' ')), range(v, '\t', 5));
		return Classes{cut<bytes>(range(v, '0', 10)), cut<bytes>(_mm512_cmpeq_epi8_mask(v, splat('.'))),
		               cut<bytes>(space), 0, 0};
	}

	template <int bytes>
	BALANCE_CHECK_AVX512_TARGET static u64 signs(const char* p)
	{
		const __m512i v = _mm512_loadu_si512(p);
		return cut<bytes>(_kor_mask64(_mm512_cmpeq_epi8_mask(v, splat('+')),
		                              _mm512_cmpeq_epi8_mask(v, splat('-'))));
	}

	template <int bytes>
	BALANCE_CHECK_AVX512_TARGET static u64 exponents(const char* p)
	{
		const __m512i v = _mm512_or_si512(_mm512_loadu_si512(p), splat(0x20));
		return cut<bytes>(_mm512_cmpeq_epi8_mask(v, splat('e')));
	}
};

}  // namespace avx512
}  // namespace kernels

#endif
#endif
