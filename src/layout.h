// The sizes the input's layout is made of, below every layer that reads
// it: the kernels' block, the scanners' reach past a number, the longest
// token.  The input buffer's paddings and room (input_buffer.h) come from
// these alone.
#ifndef BALANCE_CHECK_LAYOUT_H
#define BALANCE_CHECK_LAYOUT_H

#include <cstddef>

// Bytes a kernel classifies at once (kernels::block_bytes).
constexpr int block_of_classes = 64;

// Bytes a scanner may read past a number's end: the NUL that stops it,
// then the rest of an eight-digit load (numbers::scan_padding).
constexpr std::size_t scanner_reach = 8;

// The longest token accepted; longer ones are rejected, never cut
// (numbers::max_token_length).
constexpr std::size_t longest_token = 4096;

#endif
