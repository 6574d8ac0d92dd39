// Query reader: holds the input, one block at a time, without allocating,
// and the state of the query being read.  next_query.h turns its data into
// BalanceQuery values.
#ifndef BALANCE_CHECK_QUERY_READER_H
#define BALANCE_CHECK_QUERY_READER_H

#include <cstddef>
#include <cstdint>

#include "balance.h"
#include "everyday_query.h"
#include "input_error.h"
#include "numbers/whole_token.h"

// Bytes asked of the source per read.
constexpr std::size_t read_block_size = std::size_t{128} * 1024;

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
	char* pos;  // next unread byte (the data begins at storage + everyday_front_padding)
	char* end;  // end of the data; *end is a NUL that stops every scan
	bool eof;
	int fields;  // values of the current query read so far
	BalanceQuery partial;
	std::uint64_t query_number;  // of the query being read, from 1
	InputError error;
	int error_errno;
	const char* bad_text;  // the offending token, valid until the next refill
	std::size_t bad_length;
	// The data (a partial token of at most max_token_length bytes, then one
	// block) lies between the padding the scanners may read on either side;
	// the back padding begins with the NUL at *end.
	char storage[everyday_front_padding + max_token_length + read_block_size + everyday_back_padding];
};

void reader_init(QueryReader& r, ReadFunction read, void* context);

// Keeps the unfinished token, reads more.  False on a read error.
bool refill(QueryReader& r);

#endif
