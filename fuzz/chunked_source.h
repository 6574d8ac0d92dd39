// Hands fuzz input to the reader in pieces whose sizes come from a small
// generator seeded by the input itself, so block boundaries fall anywhere.
#ifndef BALANCE_CHECK_FUZZ_CHUNKED_SOURCE_H
#define BALANCE_CHECK_FUZZ_CHUNKED_SOURCE_H

#include <cstddef>
#include <cstdint>
#include <cstring>

struct ChunkedSource {
	const std::uint8_t* data;
	std::size_t size;
	std::size_t offset;
	std::uint32_t state;
};

inline long read_chunked(void* context, char* buffer, std::size_t room)
{
	auto& s = *static_cast<ChunkedSource*>(context);
	s.state = s.state * 1664525u + 1013904223u;
	// Mostly small pieces, sometimes a whole block.
	std::size_t n = (s.state >> 28) == 0 ? room : 1 + (s.state >> 16) % 64;
	if (n > room)
		n = room;
	if (n > s.size - s.offset)
		n = s.size - s.offset;
	std::memcpy(buffer, s.data + s.offset, n);
	s.offset += n;
	return static_cast<long>(n);
}

inline ChunkedSource chunked_source(const std::uint8_t* data, std::size_t size)
{
	std::uint32_t seed = 0;
	for (std::size_t i = 0; i < size && i < 8; ++i)
		seed = seed * 31u + data[i];
	return ChunkedSource{data, size, 0, seed};
}

#endif
