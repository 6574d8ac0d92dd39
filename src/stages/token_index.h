// Stage 1, the index: the reader's data classified once, 64 bytes at a
// time, by the kernel (kernels/kernel.h), and the first byte of every
// token listed.  Written once over any kernel; stages/verdicts.h walks
// what it gives.  The index covers the data from the last refill on: a refill
// moves the unfinished token to the front of the buffer, and the index
// starts again there.
#ifndef BALANCE_CHECK_TOKEN_INDEX_H
#define BALANCE_CHECK_TOKEN_INDEX_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>

#include "kernels/kernel.h"
#include "numbers/bit_scan.h"
#include "numbers/byte_order.h"
#include "target.h"

namespace stages {

// Blocks classified in one pass: 4 KiB, so that stage 2 reads the classes
// and the starts while they are still in the first-level cache.
constexpr std::size_t blocks_per_pass = 64;
// A block holds at most 32 token starts (every other byte).
constexpr std::size_t max_starts_per_block = kernels::block_bytes / 2;

template <std::size_t data_bytes>
struct TokenIndex {
	static constexpr std::size_t data_blocks = (data_bytes + kernels::block_bytes - 1) / kernels::block_bytes;
	// Each class's bits, byte i of the data in bit i % 8 of byte i / 8, so
	// that the bits from any byte on are one unaligned little-endian load.
	// After the last block of the data comes one of all zeros: its bytes
	// belong to no class.
	struct Bits {
		alignas(8) char bytes[(data_blocks + 1) * 8];
	};
	Bits space, digit, point, sign, letter;
	// Offsets from the data's first byte of the tokens' first bytes; those
	// from `first` to `count` are not yet answered.  Room for the starts
	// stage 2 leaves unanswered when it asks for a pass (those of the last
	// block at most), a pass, and what a kernel writes past the last.
	std::uint32_t starts[(1 + blocks_per_pass) * max_starts_per_block + kernels::max_positions_past];
	std::size_t first;
	std::size_t count;
	std::size_t classified;  // blocks classified, from the data's first
	bool complete;           // every block of the data, and the block after it
	kernels::u64 in_token;   // 1 when the last block classified ends inside a token
};

// The class bits from byte `at` of the data on: at least 57 of them, the
// bits past the end of the load 0.
template <typename Bits>
BALANCE_CHECK_INLINE kernels::u64 bits_from(const Bits& bits, std::uint32_t at)
{
	return numbers::load_le64(bits.bytes + at / 8) >> (at % 8);
}

template <std::size_t data_bytes>
void index_reset(TokenIndex<data_bytes>& ix)
{
	ix.first = ix.count = ix.classified = 0;
	ix.complete = false;
	ix.in_token = 0;
}

template <typename Index>
BALANCE_CHECK_INLINE void store_classes(Index& ix, std::size_t block, const kernels::Classes& c)
{
	numbers::store_le64(ix.space.bytes + 8 * block, c.space);
	numbers::store_le64(ix.digit.bytes + 8 * block, c.digit);
	numbers::store_le64(ix.point.bytes + 8 * block, c.point);
	numbers::store_le64(ix.sign.bytes + 8 * block, c.sign);
	numbers::store_le64(ix.letter.bytes + 8 * block, c.letter);
}

// Classifies up to a pass of blocks of the data (at `data`, `size` bytes,
// the kernel's loads readable for 64 bytes past it) after those classified
// already, and lists their token starts after the unanswered ones.
template <typename Kernel, std::size_t data_bytes>
BALANCE_CHECK_INLINE void index_pass(TokenIndex<data_bytes>& ix, const char* data, std::size_t size)
{
	using kernels::u64;
	constexpr auto block = static_cast<std::size_t>(kernels::block_bytes);
	const std::size_t kept = ix.count - ix.first;
	std::memmove(ix.starts, ix.starts + ix.first, kept * sizeof ix.starts[0]);
	ix.first = 0;
	std::uint32_t* out = ix.starts + kept;
	const std::size_t blocks = (size + block - 1) / block;
	std::size_t b = ix.classified;
	const std::size_t room =
		(std::size(ix.starts) - kept - kernels::max_positions_past) / max_starts_per_block;
	const std::size_t stop = std::min({blocks, b + room, b + blocks_per_pass});
	u64 in_token = ix.in_token;
	for (; b < stop; ++b) {
		const char* const p = data + b * block;
		kernels::Classes c = Kernel::classify(p);
		u64 data_bits = ~u64{0};
		if (size - b * block < block) {
			// Past the data: bytes of no class, a token that never ends.
			data_bits = (u64{1} << (size - b * block)) - 1;
			c = kernels::Classes{c.digit & data_bits, c.point & data_bits, c.space & data_bits,
			                     c.sign & data_bits, c.letter & data_bits};
		}
		store_classes(ix, b, c);
		const u64 token = ~c.space;
		const u64 starts = token & ~(token << 1 | in_token) & data_bits;
		in_token = token >> 63;
		out = Kernel::append_positions(out, starts, static_cast<std::uint32_t>(b * block));
	}
	ix.in_token = in_token;
	ix.count = static_cast<std::size_t>(out - ix.starts);
	ix.classified = b;
	if (b == blocks) {
		store_classes(ix, b, kernels::Classes{0, 0, 0, 0, 0});
		ix.complete = true;
	}
}

}  // namespace stages

#endif
