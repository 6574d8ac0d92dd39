// What this x86-64 machine runs of the wide kernels' instruction sets:
// asked of the processor (CPUID) and of the operating system, which must
// save the wide registers across task switches (XGETBV), once.
#ifndef BALANCE_CHECK_KERNELS_X86_FEATURES_H
#define BALANCE_CHECK_KERNELS_X86_FEATURES_H

#include "target.h"

#if defined(BALANCE_CHECK_HAVE_X86_DISPATCH)

// The instruction sets each wide kernel is compiled for, named once: the
// kernels' target attributes are these, and x86_features() checks each.
#define BALANCE_CHECK_AVX2_SETS "avx2,bmi,bmi2,popcnt"
#define BALANCE_CHECK_AVX512_SETS "avx512f,avx512bw," BALANCE_CHECK_AVX2_SETS

namespace kernels {

struct X86Features {
	bool avx2;    // AVX2, BMI1, BMI2, POPCNT, with the YMM state saved
	bool avx512;  // and AVX-512 F and BW, with the ZMM and opmask state saved
};

const X86Features& x86_features();

}  // namespace kernels

#endif
#endif
