// What every kernel shares: the byte classes it gives and the contract it
// keeps.  A kernel is stage 1's one instruction-set-specific step: it
// classifies 64 bytes into bit masks.  Everything after that, the class
// index (stages/class_index.h) and the verdicts (stages/verdicts.h), is
// plain 64-bit code written once.  chosen.h lists the six kernels, widest
// first: avx512, avx2, sse2, neon, simd128, swar.
//
//   static constexpr const char name[];  as in that list
//   static bool runs_here();
//       whether this machine has the kernel's instruction set
//   template <typename Body> static auto run(Body&& body);
//       body(Kernel{}), compiled for the kernel's instruction set: the
//       query loop runs inside, so both stages stay inline
//   static Classes classify(const char* p);
//       the classes of the 64 bytes at p, byte i in bit i
#ifndef BALANCE_CHECK_KERNEL_H
#define BALANCE_CHECK_KERNEL_H

#include <cstdint>

#include "layout.h"
#include "target.h"

namespace kernels {

using u64 = std::uint64_t;

// Bytes a kernel classifies at once.
constexpr int block_bytes = block_of_classes;

// Byte classes of a block, one bit per byte, the first byte lowest.  A
// byte in neither belongs to a token and is a mark: a point, a sign, an
// exponent letter or a byte no number takes.  Stage 2 reads the few marks
// of a query from its bytes, so that the kernel classifies only what
// every query has.
struct Classes {
	u64 digit;  // '0' to '9'
	u64 space;  // ' ', and '\t' '\n' '\v' '\f' '\r', the bytes 9 to 13
};

// The part of the contract shared by the kernels every machine of their
// target runs: nothing to ask of the machine, the loop compiled in place.
template <typename Kernel>
struct RunsEverywhere {
	static bool runs_here() { return true; }

	template <typename Body>
	BALANCE_CHECK_INLINE static auto run(Body&& body)
	{
		return body(Kernel{});
	}

};

}  // namespace kernels

#endif
