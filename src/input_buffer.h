// The input buffer: the data read from the source, one block read at a time,
// between paddings that the kernels, scanners and keys may read, and where
// the next unread byte is.  It allocates nothing.
#ifndef BALANCE_CHECK_INPUT_BUFFER_H
#define BALANCE_CHECK_INPUT_BUFFER_H

#include <cstddef>

#include "layout.h"

// Bytes asked of the source per read.
constexpr std::size_t read_block_size = std::size_t{128} * 1024;

// Readable bytes before the data: the amounts' keys load the 24 bytes
// before a token's end.  A whole block, so that the data starts on a block
// boundary.
constexpr std::size_t input_front_padding = block_of_classes;
static_assert(input_front_padding >= 24, "keys load 24 bytes before a token's end");

// Readable bytes after the data: a kernel loads whole 64-byte blocks, and
// the scanners and digit loads read a few bytes past a token's end.  The
// first is the NUL at `end`, which stops every scan.
constexpr std::size_t input_back_padding = block_of_classes;
static_assert(input_back_padding >= scanner_reach, "the scanners read past the end too");

// The data: a partial token of at most longest_token bytes, then one
// block read.
constexpr std::size_t input_data_bytes = longest_token + read_block_size;

// Reads like read(2): bytes delivered, 0 at end of input, -1 on error with
// errno set.  It returns what is available and does not wait for more.
using ReadFunction = long (*)(void* context, char* buffer, std::size_t size);

struct InputBuffer {
	ReadFunction read;
	void* context;
	const char* pos;  // next unread byte
	char* end;        // end of the data; *end is a NUL that stops every scan
	bool eof;
	int read_errno;  // of a failed read, 0 while all is well
	// The data between the paddings, on a 64-byte boundary like the
	// index's blocks.
	alignas(64) char storage[input_front_padding + input_data_bytes + input_back_padding];

	char* data() { return storage + input_front_padding; }
	const char* data() const { return storage + input_front_padding; }
};

void input_init(InputBuffer& in, ReadFunction read, void* context);

// Keeps the unread bytes from `pos` on (an unfinished token), moved to the
// front, and reads more after them.  False on a read error, with
// read_errno set.
bool refill(InputBuffer& in);

#endif
