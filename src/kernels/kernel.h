// What every window kernel shares: the byte classes it gives and the
// contract it keeps.  A kernel is a struct of static functions; the
// everyday query path (everyday_query.h) is written once over any of them,
// and chosen.h lists them, widest first.  Each kernel loads and classifies
// the window its own way (eight bytes a word, 16, 32 or 64 a vector).
//
//   static constexpr const char name[];  "swar", "sse2", "avx2", "avx512"
//   static bool runs_here();
//       whether this machine has the kernel's instruction set
//   template <typename Body> static auto run(Body&& body);
//       body(Kernel{}), compiled for the kernel's instruction set: a loop
//       that uses the kernel runs inside, so its work stays inline
//   template <int bytes> static Classes classify(const char* p);
//       digits, points and white space of the first `bytes` bytes at p
//       (short_window or window); sign and exponent left 0, since most
//       files have neither
//   template <int bytes> static u64 signs(const char* p);      '+' and '-'
//   template <int bytes> static u64 exponents(const char* p);  'e' and 'E'
//   static void two_values(const char* a, int an, const char* b, int bn,
//                          u64& va, u64& vb);
//       the values of two runs of 1 to 8 digits that end at a and b
//   static u64 value16(const char* e, int n);
//       the value of a run of 0 to 16 digits that ends at e
//
//   static constexpr bool answers_blocks;
//       true where it also answers whole blocks of queries (see avx512.h):
//   static int answer_block(const char* p, const char* end, unsigned& yes,
//                           int& length);
//
// Bits at and above `bytes` are 0.  Digit runs are read from up to 16 bytes
// before their end, within the reader's front padding.
#ifndef BALANCE_CHECK_KERNEL_H
#define BALANCE_CHECK_KERNEL_H

#include <cstdint>

#include "target.h"

namespace kernels {

using u64 = std::uint64_t;

// Byte classes of a window, one bit per byte, the first byte lowest.
struct Classes {
	u64 digit, point, space, sign, exponent;  // exponent: 'e' and 'E'
};

// The whole window, and its first part, where most queries fit.
constexpr int window = 64;
constexpr int short_window = 48;

// The part of the contract shared by the kernels every machine of their
// target runs: nothing to ask of the machine, the loop compiled in place.
template <typename Kernel>
struct RunsEverywhere {
	static constexpr bool answers_blocks = false;

	static bool runs_here() { return true; }

	template <typename Body>
	BALANCE_CHECK_INLINE static auto run(Body&& body)
	{
		return body(Kernel{});
	}
};

}  // namespace kernels

#endif
