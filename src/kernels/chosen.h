// The window kernel this target runs, chosen here once: a new kernel is one
// file in this folder and one line below.
#ifndef BALANCE_CHECK_KERNELS_CHOSEN_H
#define BALANCE_CHECK_KERNELS_CHOSEN_H

#include "kernels/sse2.h"
#include "kernels/swar.h"
#include "target.h"

namespace kernels {

#if defined(BALANCE_CHECK_HAVE_SSE2)
using Chosen = sse2::Kernel;
#else
using Chosen = swar::Kernel;
#endif

}  // namespace kernels

#endif
