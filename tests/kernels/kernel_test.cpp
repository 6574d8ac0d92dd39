// Every kernel this machine runs classifies as the portable one, and the
// machine's wide kernels are the ones the processor has.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "kernels/chosen.h"
#include "kernels/x86_features.h"
#include "oracles/processor_flags.h"

namespace kernels {
namespace {

// Every byte value at every position of a block, among bytes of every
// class, against the portable kernel, and the portable kernel against the
// classes as written down.  A kernel joins by its line in chosen.h.
TEST(Kernels, EveryByteAtEveryPositionAsThePortableOne)
{
	const std::string around("12 +3.5e-7\t-x\r\n0.9E+1\v\f\x80\xff\x00/:,dD 09 89+-.eE", 43);
	std::vector<std::string> names;
	for_each_kernel_here([&](auto kernel) { names.push_back(decltype(kernel)::name); });
	EXPECT_EQ(names.back(), "swar");
	for (int at = 0; at < block_bytes; ++at)
		for (int byte = 0; byte < 256; ++byte) {
			char block[block_bytes];
			for (int i = 0; i < block_bytes; ++i)
				block[i] = around[static_cast<std::size_t>(i + byte) % around.size()];
			block[at] = static_cast<char>(byte);
			const Classes portable = swar::Kernel::classify(block);
			const auto bit = [&](u64 m) { return ((m >> at) & 1) != 0; };
			const bool space = byte == ' ' || (byte >= '\t' && byte <= '\r');
			ASSERT_EQ(bit(portable.digit), byte >= '0' && byte <= '9') << byte;
			ASSERT_EQ(bit(portable.space), space) << byte;
			for_each_kernel_here([&](auto kernel) {
				using K = decltype(kernel);
				const Classes c = K::classify(block);
				const u64 got[] = {c.digit, c.space};
				const u64 want[] = {portable.digit, portable.space};
				for (int k = 0; k < 2; ++k)
					ASSERT_EQ(got[k], want[k]) << K::name << ": class " << k << ", byte " << byte << " at " << at;
			});
		}
}

#if defined(BALANCE_CHECK_HAVE_X86_DISPATCH)
// What the program finds of AVX2 and AVX-512 is what the system says of the
// processor (Linux lists the flags that it and the processor both support).
TEST(Kernels, WideKernelsAsTheSystemNamesTheProcessor)
{
	const ProcessorFlags p = processor_flags();
	if (!p.listed)
		GTEST_SKIP() << "no /proc/cpuinfo here";
	EXPECT_EQ(x86_features().avx2, p.avx2()) << p.flags;
	EXPECT_EQ(x86_features().avx512, p.avx512()) << p.flags;
}
#endif

}  // namespace
}  // namespace kernels
