// What every kernel shares: the byte classes it gives and the contract it
// keeps.  A kernel is stage 1's one instruction-set-specific step: it
// classifies 64 bytes into bit masks.  Everything after that, the token
// index (stages/token_index.h) and the verdicts (stages/verdicts.h), is
// plain 64-bit code written once.  chosen.h lists the kernels, widest
// first.
//
//   static constexpr const char name[];  "swar", "sse2", "avx2", "avx512"
//   static bool runs_here();
//       whether this machine has the kernel's instruction set
//   template <typename Body> static auto run(Body&& body);
//       body(Kernel{}), compiled for the kernel's instruction set: the
//       query loop runs inside, so both stages stay inline
//   static Classes classify(const char* p);
//       the classes of the 64 bytes at p, byte i in bit i
//   static std::uint32_t* append_positions(std::uint32_t* out, u64 bits,
//                                          std::uint32_t base);
//       base + the position of each set bit, lowest first, from out on;
//       returns the end of those.  May write up to max_positions_past
//       entries after it, which later ones overwrite.
#ifndef BALANCE_CHECK_KERNEL_H
#define BALANCE_CHECK_KERNEL_H

#include <cstdint>

#include "numbers/bit_scan.h"
#include "target.h"

namespace kernels {

using u64 = std::uint64_t;

// Bytes a kernel classifies at once.
constexpr int block_bytes = 64;

// Byte classes of a block, one bit per byte, the first byte lowest.  A
// byte in none of them is some other byte: it belongs to a token, and no
// number takes it.
struct Classes {
	u64 digit;   // '0' to '9'
	u64 point;   // '.'
	u64 space;   // ' ', '\t', '\n', '\v', '\f', '\r'
	u64 sign;    // '+', '-'
	u64 letter;  // 'e', 'E': an exponent's mark
};

constexpr int max_positions_past = 16;

// The positions in plain 64-bit code.  Whole groups of 8 are written,
// however many bits a group has left, so that the loop runs a count known
// up front instead of a branch per bit.
BALANCE_CHECK_INLINE std::uint32_t* append_positions_portably(std::uint32_t* out, u64 bits, std::uint32_t base)
{
	constexpr u64 top_bit = u64{1} << 63;  // stands for none left
	const int n = numbers::popcount(bits);
	for (int group = 0; group < n; group += 8) {
		for (int k = 0; k < 8; ++k) {
			out[group + k] = base + static_cast<std::uint32_t>(numbers::countr_zero(bits | top_bit));
			bits &= bits - 1;
		}
	}
	return out + n;
}

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

	BALANCE_CHECK_INLINE static std::uint32_t* append_positions(std::uint32_t* out, u64 bits, std::uint32_t base)
	{
		return append_positions_portably(out, bits, base);
	}
};

}  // namespace kernels

#endif
