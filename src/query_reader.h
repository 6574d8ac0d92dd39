// Query reader: turns the byte stream into BalanceQuery values, one block
// at a time, without allocating.
#ifndef BALANCE_CHECK_QUERY_READER_H
#define BALANCE_CHECK_QUERY_READER_H

#include <cstddef>
#include <cstdint>

#include "balance.h"
#include "number_parse.h"
#include "number_scan.h"

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

enum class InputError { none, not_a_number, too_long, ends_inside_query, read_failed };

struct QueryReader {
	ReadFunction read;
	void* context;
	char* pos;  // next unread byte
	char* end;  // end of the data; *end is a NUL that stops every scan
	bool eof;
	int fields;  // values of the current query read so far
	BalanceQuery partial;
	std::uint64_t query_number;  // of the query being read, from 1
	InputError error;
	int error_errno;
	const char* bad_text;  // the offending token, valid until the next refill
	std::size_t bad_length;
	// A partial token (at most max_token_length bytes) plus one block, then
	// the NUL and the padding the scanners read past it.
	char buffer[max_token_length + read_block_size + scan_padding];
};

void reader_init(QueryReader& r, ReadFunction read, void* context);

// isspace() in the C locale: space, \t, \n, \v, \f, \r.
struct SpaceTable {
	bool space[256];
	constexpr SpaceTable() : space()
	{
		const char spaces[] = " \t\n\v\f\r";
		for (const char c : spaces)
			space[static_cast<unsigned char>(c)] = c != '\0';
	}
};
inline constexpr SpaceTable space_table;

inline bool is_space(char c)
{
	return space_table.space[static_cast<unsigned char>(c)];
}

inline const char* skip_space(const char* p)
{
	while (is_space(*p))
		++p;
	return p;
}

// A whole query of plain numbers, each followed by white space, read in one
// go.  False, with nothing consumed, for anything else: the general path
// then takes the query, and settles every unusual case.  Plain tokens are
// far shorter than the token limit, and since *end is a NUL, a token that
// touches the end of the data never passes.
inline bool read_plain_query(QueryReader& r, BalanceQuery& q)
{
	const char* p = r.pos;
	BalanceQuery v;
	if (!(p = scan_plain_int(skip_space(p), v.dlh)) || !is_space(*p) ||
	    !(p = scan_plain_int(skip_space(p + 1), v.spl)) || !is_space(*p) ||
	    !(p = scan_plain_int(skip_space(p + 1), v.rok)) || !is_space(*p) ||
	    !(p = scan_plain_rate(skip_space(p + 1), v.urok)) || !is_space(*p))
		return false;
	r.pos = const_cast<char*>(p);
	++r.query_number;
	q = v;
	return true;
}

// Token by token, for everything the plain path leaves.
ReadStatus next_query_general(QueryReader& r, BalanceQuery& q);

// The next query, or why there is none yet.  Inline, so that the caller's
// loop runs the plain path without a call.
inline ReadStatus next_query(QueryReader& r, BalanceQuery& q)
{
	if (r.fields == 0 && read_plain_query(r, q))
		return ReadStatus::query;
	return next_query_general(r, q);
}

// Keeps the unfinished token, reads more.  False on a read error.
bool refill(QueryReader& r);

// One line (no newline) saying what went wrong, for the diagnostic.
std::size_t describe_error(const QueryReader& r, char* out, std::size_t size);

#endif
