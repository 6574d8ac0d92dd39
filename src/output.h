// Answer output: lines collect in a block that goes out in one write.
#ifndef BALANCE_CHECK_OUTPUT_H
#define BALANCE_CHECK_OUTPUT_H

#include <cstddef>
#include <cstring>

constexpr std::size_t output_block_size = std::size_t{64} * 1024;

// Writes like write(2): bytes taken (possibly fewer than asked), or -1
// with errno set.  0 means the stream takes nothing for now (a pipe another
// process made non-blocking on Windows), and the write is asked again, so
// a function that can take nothing for ever must block or fail instead.
using WriteFunction = long (*)(void* context, const char* data, std::size_t size);

// Closes the stream once all is written, like close(2): 0, or -1 with errno
// set.  Some write errors (NFS, quotas) show only here.
using CloseFunction = int (*)(void* context);

struct Output {
	WriteFunction write;
	CloseFunction close;  // nullptr: the stream is left open
	void* context;
	std::size_t length;
	int error;  // errno of the failed write, 0 while all is well
	char buffer[output_block_size];
};

void output_init(Output& o, WriteFunction write, void* context, CloseFunction close = nullptr);

// Writes out the block.  False, with o.error set, when a write fails.
bool output_flush(Output& o);

// At a normal end: writes out the block, then closes the stream.  False,
// with o.error set, when either fails.
bool output_close(Output& o);

// Appends n bytes (n <= output_block_size).  False when a flush fails.
inline bool output_put(Output& o, const char* s, std::size_t n)
{
	if (sizeof o.buffer - o.length < n && !output_flush(o))
		return false;
	std::memcpy(o.buffer + o.length, s, n);
	o.length += n;
	return true;
}

// "no\n" and "yes\n", each copied as four bytes.
inline constexpr char answer_lines[2][4] = {{'n', 'o', '\n', '\0'}, {'y', 'e', 's', '\n'}};

// Where answers are written with their room known (stage 2): a cursor
// begun at the block's end, with room for `left` more without a flush,
// and committed once; an answer put at `at` returns the place for the
// next.
struct OutputCursor {
	char* put;
	std::size_t left;
};

inline OutputCursor output_begin(Output& o)
{
	return OutputCursor{o.buffer + o.length, (sizeof o.buffer - o.length) / 4};
}

inline void output_commit(Output& o, const OutputCursor& c)
{
	o.length = static_cast<std::size_t>(c.put - o.buffer);
}

inline char* output_answer_at(char* at, bool yes)
{
	std::memcpy(at, answer_lines[yes], 4);  // indexed: answers are unpredictable
	return at + 3 + static_cast<std::size_t>(yes);
}

// Appends "yes\n" or "no\n" with one fixed-size copy.
inline bool output_answer(Output& o, bool yes)
{
	if (sizeof o.buffer - o.length < 4 && !output_flush(o))
		return false;
	o.length = static_cast<std::size_t>(output_answer_at(o.buffer + o.length, yes) - o.buffer);
	return true;
}

#endif
