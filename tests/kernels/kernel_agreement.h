// Every window kernel of this target that the machine runs, against the
// baseline kernel.
#ifndef BALANCE_CHECK_TESTS_KERNEL_AGREEMENT_H
#define BALANCE_CHECK_TESTS_KERNEL_AGREEMENT_H

#include <cstring>

#include <gtest/gtest.h>

#include "everyday_query.h"
#include "kernels/chosen.h"

// At the start of a query, every kernel compiled for this target and run
// by this machine takes or leaves the same text as the baseline kernel,
// with the same values.  A kernel joins by its line in kernels::Compiled.
inline void expect_kernels_agree(const char* pos)
{
	BalanceQuery baseline;
	const char* end = read_everyday_query(pos, baseline);
	auto agrees = [&](auto kernel) {
		using K = decltype(kernel);
		BalanceQuery q;
		EXPECT_EQ(read_everyday_query_with<K>(pos, q), end) << K::name;
		if (end != nullptr) {
			EXPECT_EQ(std::memcmp(&q, &baseline, sizeof baseline), 0) << K::name;
		}
	};
	kernels::for_each_kernel_here(agrees);
}

#endif
