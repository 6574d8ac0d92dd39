// The kernel in WebAssembly SIMD128: the byte classes of a block from four
// 16-byte vectors, each compare's bytes gathered by bitmask.  Compiled
// where the module is built with -msimd128 (the wasm32-wasi-simd128
// preset); a runtime without SIMD128 does not load such a module at all,
// so there is nothing to choose at start-up.
#ifndef BALANCE_CHECK_KERNELS_SIMD128_H
#define BALANCE_CHECK_KERNELS_SIMD128_H

#include "target.h"

#if defined(BALANCE_CHECK_HAVE_SIMD128)

#include <wasm_simd128.h>

#include <cstdint>

#include "kernels/kernel.h"

namespace kernels {
namespace simd128 {

inline u64 mask(v128_t v)
{
	return static_cast<std::uint16_t>(wasm_i8x16_bitmask(v));
}

inline v128_t digits_of(v128_t v)
{
	return wasm_u8x16_lt(wasm_i8x16_sub(v, wasm_i8x16_splat('0')), wasm_i8x16_splat(10));
}

inline v128_t spaces_of(v128_t v)
{
	return wasm_v128_or(wasm_i8x16_eq(v, wasm_i8x16_splat(' ')),
	                    wasm_u8x16_lt(wasm_i8x16_sub(v, wasm_i8x16_splat('\t')), wasm_i8x16_splat(5)));
}

struct Kernel : RunsEverywhere<Kernel> {
	static constexpr const char name[] = "simd128";

	static Classes classify(const char* p)
	{
		Classes c{0, 0};
		for (int i = 0; i < block_bytes / 16; ++i) {
			const v128_t v = wasm_v128_load(p + 16 * i);
			const int shift = 16 * i;
			c.digit |= mask(digits_of(v)) << shift;
			c.space |= mask(spaces_of(v)) << shift;
		}
		return c;
	}
};

}  // namespace simd128
}  // namespace kernels

#endif
#endif
