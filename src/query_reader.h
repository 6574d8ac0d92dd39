// Query reader: holds the input, one block at a time, without allocating,
// the index of its classes (stages/class_index.h), and the state of the query
// being read.  stages/verdicts.h answers from the index; general_query.h turns
// the data into BalanceQuery values token by token.
#ifndef BALANCE_CHECK_QUERY_READER_H
#define BALANCE_CHECK_QUERY_READER_H

#include <cstddef>
#include <cstdint>

#include "balance.h"
#include "input_error.h"
#include "kernels/kernel.h"
#include "numbers/scanners.h"
#include "numbers/whole_token.h"
#include "stages/class_index.h"

// Bytes asked of the source per read.
constexpr std::size_t read_block_size = std::size_t{128} * 1024;

// Readable bytes before the data: the amounts' keys load the 8 bytes
// before a token's end.  A whole block, so that the data starts on a block
// boundary.
constexpr std::size_t reader_front_padding = kernels::block_bytes;

// Readable bytes after the data: a kernel loads whole 64-byte blocks, and
// the scanners and digit loads read a few bytes past a token's end.  The
// first is the NUL at `end`, which stops every scan.
constexpr std::size_t reader_back_padding = kernels::block_bytes;
static_assert(reader_back_padding >= numbers::scan_padding, "the scanners read past the end too");

// The data: a partial token of at most numbers::max_token_length bytes, then one
// block read.
constexpr std::size_t reader_data_bytes = numbers::max_token_length + read_block_size;

// Reads like read(2): bytes delivered, 0 at end of input, -1 on error with
// errno set.  It returns what is available and does not wait for more.
using ReadFunction = long (*)(void* context, char* buffer, std::size_t size);

enum class ReadStatus {
	query,       // a complete query was read
	need_input,  // every complete query is out; call refill, then ask again
	end,         // input ended on a query boundary
	error,       // see InputError
};

struct QueryReader {
	ReadFunction read;
	void* context;
	const char* pos;  // next unread byte
	char* end;        // end of the data; *end is a NUL that stops every scan
	bool eof;
	int fields;  // values of the current query read so far
	BalanceQuery partial;
	std::uint64_t query_number;  // of the query being read, from 1
	InputError error;
	int error_errno;
	const char* bad_text;  // the offending token, valid until the next refill
	std::size_t bad_length;
	stages::ClassIndex index;  // of a pass of the data
	// The data between the paddings, on a 64-byte boundary like the
	// index's blocks.
	alignas(64) char storage[reader_front_padding + reader_data_bytes + reader_back_padding];

	char* data() { return storage + reader_front_padding; }
};

void reader_init(QueryReader& r, ReadFunction read, void* context);

// Keeps the unfinished token, reads more, and starts the index again.
// False on a read error.
bool refill(QueryReader& r);

#endif
