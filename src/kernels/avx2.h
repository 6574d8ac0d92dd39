// The kernel in AVX2: the byte classes of a block from two 32-byte vectors.
// Compiled for its instruction sets, run() flattening the caller's loop
// into one such function (target.h says why), and chosen only where the
// machine has them (x86_features.cpp checks each set named below).
#ifndef BALANCE_CHECK_KERNELS_AVX2_H
#define BALANCE_CHECK_KERNELS_AVX2_H

#include "target.h"

#if defined(BALANCE_CHECK_HAVE_AVX2)

#include <immintrin.h>

#include <cstdint>

#include "kernels/kernel.h"
#include "kernels/x86_features.h"

#define BALANCE_CHECK_AVX2_TARGET BALANCE_CHECK_TARGET(BALANCE_CHECK_AVX2_SETS)

namespace kernels {
namespace avx2 {

BALANCE_CHECK_AVX2_TARGET inline __m256i load32(const char* p)
{
	return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

BALANCE_CHECK_AVX2_TARGET inline __m256i splat(char c)
{
	return _mm256_set1_epi8(c);
}

// The byte masks of the two halves of a block as one 64-bit mask.
BALANCE_CHECK_AVX2_TARGET inline u64 block_mask(__m256i low, __m256i high)
{
	return static_cast<std::uint32_t>(_mm256_movemask_epi8(low)) |
	       static_cast<u64>(static_cast<std::uint32_t>(_mm256_movemask_epi8(high))) << 32;
}

BALANCE_CHECK_AVX2_TARGET inline __m256i digits_of(__m256i v)
{
	// As in sse2.h, with the compare's operands swapped.
	return _mm256_cmpgt_epi8(splat(static_cast<char>(-128 + 10)),
	                         _mm256_sub_epi8(v, splat(static_cast<char>('0' + 128))));
}

// Each white-space byte is the one byte of its low nibble in a 16-byte
// table, which a shuffle looks up (a byte with its top bit set looks up 0,
// which it is not).
BALANCE_CHECK_AVX2_TARGET inline __m256i spaces_of(__m256i v)
{
	const __m256i by_low_nibble = _mm256_setr_epi8(' ', 0, 0, 0, 0, 0, 0, 0, 0, '\t', '\n', '\v', '\f', '\r', 0, 0,
	                                               ' ', 0, 0, 0, 0, 0, 0, 0, 0, '\t', '\n', '\v', '\f', '\r', 0, 0);
	return _mm256_cmpeq_epi8(v, _mm256_shuffle_epi8(by_low_nibble, v));
}

struct Kernel {
	static constexpr const char name[] = "avx2";

	static bool runs_here() { return x86_features().avx2; }

	template <typename Body>
	BALANCE_CHECK_AVX2_TARGET BALANCE_CHECK_FLATTEN static auto run(Body&& body)
	{
		return body(Kernel{});
	}

	BALANCE_CHECK_AVX2_TARGET static Classes classify(const char* p)
	{
		const __m256i low = load32(p), high = load32(p + 32);
		return Classes{block_mask(digits_of(low), digits_of(high)), block_mask(spaces_of(low), spaces_of(high))};
	}
};

}  // namespace avx2
}  // namespace kernels

#endif
#endif
