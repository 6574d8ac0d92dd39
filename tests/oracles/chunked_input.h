// Input handed to the reader in pieces of chosen sizes, for the tests and
// the fuzzers: reads like read(2), optionally interrupted or failing.
#ifndef BALANCE_CHECK_ORACLES_CHUNKED_INPUT_H
#define BALANCE_CHECK_ORACLES_CHUNKED_INPUT_H

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

struct ChunkedInput {
	std::string data;
	std::vector<std::size_t> sizes;  // the last one repeats; 0 stands for 1
	std::size_t offset = 0;
	std::size_t reads = 0;
	int fail_with = 0;       // errno to fail with once the data is out
	bool interrupt = false;  // every other read fails with EINTR
	std::size_t calls = 0;
};

inline long read_chunk(void* context, char* buffer, std::size_t size)
{
	auto& in = *static_cast<ChunkedInput*>(context);
	if (in.interrupt && ++in.calls % 2 == 0) {
		errno = EINTR;
		return -1;
	}
	if (in.offset == in.data.size() && in.fail_with != 0) {
		errno = in.fail_with;
		return -1;
	}
	std::size_t n = in.sizes.empty() ? size : in.sizes[std::min(in.reads, in.sizes.size() - 1)];
	n = std::min({std::max(n, std::size_t{1}), size, in.data.size() - in.offset});
	std::memcpy(buffer, in.data.data() + in.offset, n);
	in.offset += n;
	++in.reads;
	return static_cast<long>(n);
}

// Piece sizes drawn from a generator seeded by the input itself, so that
// block boundaries fall anywhere: mostly small pieces, now and then all the
// reader asks for.
inline std::vector<std::size_t> sizes_seeded_by(const std::string& data)
{
	std::uint32_t state = 0;
	for (std::size_t i = 0; i < data.size() && i < 8; ++i)
		state = state * 31u + static_cast<unsigned char>(data[i]);
	std::vector<std::size_t> sizes;
	for (int i = 0; i < 256; ++i) {
		state = state * 1664525u + 1013904223u;
		sizes.push_back((state >> 28) == 0 ? ~std::size_t{0} : 1 + (state >> 16) % 64);
	}
	return sizes;
}

#endif
