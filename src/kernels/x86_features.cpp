#include "kernels/x86_features.h"

#if defined(BALANCE_CHECK_HAVE_X86_DISPATCH)

#include <cpuid.h>

#include <cstdint>

namespace kernels {

namespace {

// CPUID feature bits (Intel SDM volume 2A, CPUID; AMD APM volume 3, E.3),
// one for each set in BALANCE_CHECK_AVX2_SETS and _AVX512_SETS, and AVX
// and OSXSAVE, without which no YMM state is saved.
// Leaf 1, ECX:
constexpr int popcnt_bit = 23;
constexpr int osxsave_bit = 27;  // the OS enabled XGETBV
constexpr int avx_bit = 28;
// Leaf 7, subleaf 0, EBX:
constexpr int bmi1_bit = 3;
constexpr int avx2_bit = 5;
constexpr int bmi2_bit = 8;
constexpr int avx512f_bit = 16;
constexpr int avx512bw_bit = 30;

// XCR0 state components the OS saves across task switches.
constexpr std::uint64_t xmm_ymm_state = 0x6;       // bits 1 and 2: SSE, AVX
constexpr std::uint64_t opmask_zmm_state = 0xe0;   // bits 5 to 7: opmask, ZMM0-15 high, ZMM16-31

bool bit(unsigned word, int n)
{
	return ((word >> n) & 1u) != 0;
}

// XCR0; only to be asked once CPUID says OSXSAVE.
std::uint64_t saved_state()
{
	unsigned eax = 0, edx = 0;
	__asm__ volatile("xgetbv" : "=a"(eax), "=d"(edx) : "c"(0));
	return static_cast<std::uint64_t>(edx) << 32 | eax;
}

X86Features detect()
{
	X86Features f{false, false};
	unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
	if (__get_cpuid_max(0, nullptr) < 7 || !__get_cpuid(1, &eax, &ebx, &ecx, &edx))
		return f;
	if (!bit(ecx, osxsave_bit) || !bit(ecx, avx_bit) || !bit(ecx, popcnt_bit))
		return f;
	const std::uint64_t state = saved_state();
	const bool ymm = (state & xmm_ymm_state) == xmm_ymm_state;
	const bool zmm = ymm && (state & opmask_zmm_state) == opmask_zmm_state;
	__cpuid_count(7, 0, eax, ebx, ecx, edx);
	f.avx2 = ymm && bit(ebx, avx2_bit) && bit(ebx, bmi1_bit) && bit(ebx, bmi2_bit);
	f.avx512 = f.avx2 && zmm && bit(ebx, avx512f_bit) && bit(ebx, avx512bw_bit);
	return f;
}

}  // namespace

const X86Features& x86_features()
{
	static const X86Features features = detect();
	return features;
}

}  // namespace kernels

#endif
