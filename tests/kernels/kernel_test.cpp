// Every kernel this machine runs classifies as the portable one, and the
// machine's wide kernels are the ones the processor has.
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "kernels/chosen.h"
#include "kernels/x86_features.h"

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
	std::ifstream cpuinfo("/proc/cpuinfo");
	std::string line;
	while (std::getline(cpuinfo, line) && line.compare(0, 5, "flags") != 0) {
	}
	if (line.compare(0, 5, "flags") != 0)
		GTEST_SKIP() << "no /proc/cpuinfo here";
	std::istringstream words(line.substr(line.find(':') + 1));
	std::string flags = " ", flag;
	while (words >> flag)
		flags += flag + ' ';
	auto has = [&](const char* f) { return flags.find(std::string(" ") + f + ' ') != std::string::npos; };
	const bool avx2 = has("avx2") && has("bmi1") && has("bmi2") && has("popcnt");
	EXPECT_EQ(x86_features().avx2, avx2) << flags;
	EXPECT_EQ(x86_features().avx512, avx2 && has("avx512f") && has("avx512bw")) << flags;
}
#endif

}  // namespace
}  // namespace kernels
