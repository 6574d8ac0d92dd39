// Every window kernel of this target against the chosen one: a new kernel
// joins with one line in TestedKernels.
#ifndef BALANCE_CHECK_TESTS_KERNEL_AGREEMENT_H
#define BALANCE_CHECK_TESTS_KERNEL_AGREEMENT_H

#include <cstring>
#include <type_traits>

#include <gtest/gtest.h>

#include "everyday_query.h"
#include "kernels/sse2.h"
#include "kernels/swar.h"
#include "target.h"

template <typename... Kernel>
struct KernelList {};

using TestedKernels = KernelList<
#if defined(BALANCE_CHECK_HAVE_SSE2)
	kernels::sse2::Kernel,
#endif
	kernels::swar::Kernel>;

// At the start of a query, every kernel takes or leaves the same text as
// the chosen one, with the same values.
template <typename... Kernel>
void expect_kernels_agree(const char* pos, KernelList<Kernel...>)
{
	BalanceQuery chosen;
	const char* end = read_everyday_query(pos, chosen);
	auto agrees = [&](auto* tag) {
		using K = std::remove_pointer_t<decltype(tag)>;
		BalanceQuery q;
		EXPECT_EQ(read_everyday_query_with<K>(pos, q), end);
		if (end != nullptr) {
			EXPECT_EQ(std::memcmp(&q, &chosen, sizeof chosen), 0);
		}
	};
	(agrees(static_cast<Kernel*>(nullptr)), ...);
}

inline void expect_kernels_agree(const char* pos)
{
	expect_kernels_agree(pos, TestedKernels{});
}

#endif
