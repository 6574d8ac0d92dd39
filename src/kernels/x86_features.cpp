#include "kernels/x86_features.h"

#if defined(BALANCE_CHECK_HAVE_X86_DISPATCH)

#include <cpuid.h>

#include <cstdint>

namespace kernels {

namespace {

bool bit(unsigned word, int n)
{
	return ((word >> n) & 1u) != 0;
}

// The register state the operating system saves (XCR0); only to be asked
// once CPUID says OSXSAVE.
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
	if (!bit(ecx, 27) || !bit(ecx, 28))  // OSXSAVE, AVX
		return f;
	const std::uint64_t state = saved_state();
	const bool ymm = (state & 0x6) == 0x6;                    // SSE and AVX state
	const bool zmm = ymm && (state & 0xe0) == 0xe0;           // opmask, ZMM0-15 high, ZMM16-31
	__cpuid_count(7, 0, eax, ebx, ecx, edx);
	f.avx2 = ymm && bit(ebx, 5) && bit(ebx, 3) && bit(ebx, 8);             // AVX2, BMI1, BMI2
	f.avx512 = f.avx2 && zmm && bit(ebx, 16) && bit(ebx, 30) && bit(ebx, 31) &&  // F, BW, VL
	           bit(ecx, 1) && bit(ecx, 6);                                        // VBMI, VBMI2
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
