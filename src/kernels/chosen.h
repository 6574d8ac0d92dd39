// The kernels this target has, widest first.  The first that runs on the
// machine is chosen once, where the query loop starts; a new kernel is one
// file in this folder, its condition in target.h and one line in Compiled.
#ifndef BALANCE_CHECK_KERNELS_CHOSEN_H
#define BALANCE_CHECK_KERNELS_CHOSEN_H

#include <cstring>

#include "kernels/avx2.h"
#include "kernels/avx512.h"
#include "kernels/neon.h"
#include "kernels/simd128.h"
#include "kernels/sse2.h"
#include "kernels/swar.h"
#include "target.h"

namespace kernels {

template <typename... Kernel>
struct List {};

using Compiled = List<
#if defined(BALANCE_CHECK_HAVE_AVX512)
	avx512::Kernel,
#endif
#if defined(BALANCE_CHECK_HAVE_AVX2)
	avx2::Kernel,
#endif
#if defined(BALANCE_CHECK_HAVE_SSE2)
	sse2::Kernel,
#endif
#if defined(BALANCE_CHECK_HAVE_NEON)
	neon::Kernel,
#endif
#if defined(BALANCE_CHECK_HAVE_SIMD128)
	simd128::Kernel,
#endif
	swar::Kernel>;

// body(Kernel{}) with the widest kernel that runs here; the last one, the
// portable kernel, always does.
template <typename Body, typename First, typename... Rest>
auto with_best_kernel(Body&& body, List<First, Rest...>)
{
	if constexpr (sizeof...(Rest) == 0) {
		return First::run(body);
	} else {
		if (First::runs_here())
			return First::run(body);
		return with_best_kernel(body, List<Rest...>{});
	}
}

template <typename Body>
auto with_best_kernel(Body&& body)
{
	return with_best_kernel(body, Compiled{});
}

// body(Kernel{}) with every kernel that runs here, each inside its run().
template <typename Body, typename... Kernel>
void for_each_kernel_here(Body&& body, List<Kernel...>)
{
	auto one = [&](auto kernel) {
		using K = decltype(kernel);
		if (K::runs_here())
			K::run(body);
	};
	(one(Kernel{}), ...);
}

template <typename Body>
void for_each_kernel_here(Body&& body)
{
	for_each_kernel_here(body, Compiled{});
}

// body(Kernel{}) with the kernel called `name`, for tests and the
// benchmark; false when this target or machine lacks it.
template <typename Body>
bool with_kernel_named(const char* name, Body&& body)
{
	bool ran = false;
	for_each_kernel_here([&](auto kernel) {
		if (!ran && std::strcmp(name, decltype(kernel)::name) == 0) {
			body(kernel);
			ran = true;
		}
	});
	return ran;
}

}  // namespace kernels

#endif
