// Stage 1, the index: a pass of the input's data classified once, 64 bytes
// at a time, by the kernel (kernels/kernel.h), into one bit array per
// class.  Written once over any kernel; stages/verdicts.h reads every
// token's boundaries and form from these bits.  It holds one pass at a
// time, so that the bits stage 2 reads are in the first-level cache; the
// next pass keeps the block stage 2 stopped in.
#ifndef BALANCE_CHECK_CLASS_INDEX_H
#define BALANCE_CHECK_CLASS_INDEX_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "kernels/kernel.h"
#include "numbers/byte_order.h"
#include "target.h"

namespace stages {

// Blocks classified in one pass: 4 KiB.
constexpr std::size_t blocks_per_pass = 64;

// The bits a window holds from any byte on: a 64-bit load from the bit
// arrays' byte of it, less the bits below it in that byte.  A query whose
// four tokens end within its window is stage 2's.
constexpr int window_bits = 57;

struct ClassIndex {
	// Room for a pass, the block kept from the last, the block of no class
	// after the data's last, and the load of a window from that block.
	static constexpr std::size_t words = blocks_per_pass + 3;
	// Byte i of block first_block + b in bit i % 8 of byte 8 * b + i / 8,
	// so that the bits from any byte on are one unaligned little-endian
	// load.
	struct Bits {
		alignas(8) char bytes[words * 8];
	};
	Bits space, digit;
	std::size_t first_block;  // of the data, the first held
	std::size_t blocks;       // held
	bool complete;            // the held blocks run to the data's end, and zeros follow
};

inline void index_reset(ClassIndex& ix)
{
	ix.first_block = ix.blocks = 0;
	ix.complete = false;
}

// The bits of one class from byte `at` of the data on, which must be held:
// at least window_bits of them, the bits past the load 0.
BALANCE_CHECK_INLINE kernels::u64 bits_from(const ClassIndex::Bits& bits, std::size_t local_at)
{
	return numbers::load_le64(bits.bytes + local_at / 8) >> (local_at % 8);
}

// The same, all 64 bits from `local_at` on: a second load fills the bits
// the first leaves (at most 7), within the two blocks a window may read.
BALANCE_CHECK_INLINE kernels::u64 wide_bits_from(const ClassIndex::Bits& bits, std::size_t local_at)
{
	const unsigned shift = local_at % 8;
	return numbers::load_le64(bits.bytes + local_at / 8) >> shift |
	       numbers::load_le64(bits.bytes + local_at / 8 + 1) << (8 - shift);
}

// The first byte of the data whose window the index does not hold whole:
// a window reads its byte's block and the next.
inline std::size_t index_limit(const ClassIndex& ix)
{
	if (ix.complete)
		return SIZE_MAX;
	const std::size_t held = ix.first_block + ix.blocks;
	return held > 0 ? (held - 1) * kernels::block_bytes : 0;
}

BALANCE_CHECK_INLINE void store_classes(ClassIndex& ix, std::size_t b, const kernels::Classes& c)
{
	numbers::store_le64(ix.space.bytes + 8 * b, c.space);
	numbers::store_le64(ix.digit.bytes + 8 * b, c.digit);
}

// Keeps the blocks held from block `first` of the data on, moved to the
// front of the index; returns how many.
inline std::size_t keep_from(ClassIndex& ix, std::size_t first)
{
	const std::size_t held_end = ix.first_block + ix.blocks;
	const std::size_t kept = first >= ix.first_block && first < held_end ? held_end - first : 0;
	if (kept > 0 && first > ix.first_block) {
		const std::size_t offset = 8 * (first - ix.first_block);
		for (ClassIndex::Bits* bits : {&ix.space, &ix.digit})
			std::memmove(bits->bytes, bits->bytes + offset, 8 * kept);
	}
	ix.first_block = first;
	return kept;
}

// Once the held blocks reach the data's end: blocks of no class after
// them, so that a window loaded there finds no token end.
inline void close_at_data_end(ClassIndex& ix, std::size_t data_blocks)
{
	ix.complete = ix.first_block + ix.blocks >= data_blocks;
	if (ix.complete)
		for (std::size_t z = ix.blocks; z < ClassIndex::words; ++z)
			store_classes(ix, z, kernels::Classes{0, 0});
}

// Classifies the next pass of the data (at `data`, `size` bytes, the
// kernel's loads readable for 64 bytes past it), from the block of byte
// `from` on; blocks held already from there are kept, not classified again.
template <typename Kernel>
BALANCE_CHECK_INLINE void index_pass(ClassIndex& ix, const char* data, std::size_t size, std::size_t from)
{
	constexpr auto block = static_cast<std::size_t>(kernels::block_bytes);
	const std::size_t first = from / block;
	const std::size_t blocks = (size + block - 1) / block, whole = size / block;
	const std::size_t room = blocks_per_pass + 1;
	std::size_t b = keep_from(ix, first);
	for (; b < room && first + b < whole; ++b)
		store_classes(ix, b, Kernel::classify(data + (first + b) * block));
	if (b < room && first + b < blocks) {
		// Past the data: bytes of no class, a token that never ends.
		const kernels::Classes c = Kernel::classify(data + whole * block);
		const kernels::u64 in_data = (kernels::u64{1} << (size - whole * block)) - 1;
		store_classes(ix, b++, kernels::Classes{c.digit & in_data, c.space & in_data});
	}
	ix.blocks = b;
	close_at_data_end(ix, blocks);
}

}  // namespace stages

#endif
