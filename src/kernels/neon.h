// The kernel in NEON (Advanced SIMD), which every aarch64 processor has:
// the byte classes of a block from four 16-byte vectors.  NEON has no
// movemask: each compare's bytes keep one bit each, their place in their
// group of 8, and three rounds of pairwise adds gather the four vectors'
// bits into one 64-bit mask.  Little-endian Arm only (target.h): the mask
// is read from the vector's low lane.
#ifndef BALANCE_CHECK_KERNELS_NEON_H
#define BALANCE_CHECK_KERNELS_NEON_H

#include "target.h"

#if defined(BALANCE_CHECK_HAVE_NEON)

#include <arm_neon.h>

#include <cstdint>

#include "kernels/kernel.h"

namespace kernels {
namespace neon {

inline u64 block_mask(uint8x16_t c0, uint8x16_t c1, uint8x16_t c2, uint8x16_t c3)
{
	const uint8x16_t bit = {1, 2, 4, 8, 16, 32, 64, 128, 1, 2, 4, 8, 16, 32, 64, 128};
	const uint8x16_t pairs01 = vpaddq_u8(vandq_u8(c0, bit), vandq_u8(c1, bit));
	const uint8x16_t pairs23 = vpaddq_u8(vandq_u8(c2, bit), vandq_u8(c3, bit));
	const uint8x16_t quads = vpaddq_u8(pairs01, pairs23);
	return vgetq_lane_u64(vreinterpretq_u64_u8(vpaddq_u8(quads, quads)), 0);
}

inline uint8x16_t digits_of(uint8x16_t v)
{
	return vcltq_u8(vsubq_u8(v, vdupq_n_u8('0')), vdupq_n_u8(10));
}

inline uint8x16_t spaces_of(uint8x16_t v)
{
	return vorrq_u8(vceqq_u8(v, vdupq_n_u8(' ')), vcltq_u8(vsubq_u8(v, vdupq_n_u8('\t')), vdupq_n_u8(5)));
}

struct Kernel : RunsEverywhere<Kernel> {
	static constexpr const char name[] = "neon";

	static Classes classify(const char* p)
	{
		const auto* bytes = reinterpret_cast<const std::uint8_t*>(p);
		const uint8x16_t v0 = vld1q_u8(bytes), v1 = vld1q_u8(bytes + 16), v2 = vld1q_u8(bytes + 32),
		                 v3 = vld1q_u8(bytes + 48);
		return Classes{block_mask(digits_of(v0), digits_of(v1), digits_of(v2), digits_of(v3)),
		               block_mask(spaces_of(v0), spaces_of(v1), spaces_of(v2), spaces_of(v3))};
	}
};

}  // namespace neon
}  // namespace kernels

#endif
#endif
