// Text quoted in a diagnostic, so that the line stays one readable line on
// any terminal: input tokens and command-line arguments alike.
#ifndef BALANCE_CHECK_QUOTE_H
#define BALANCE_CHECK_QUOTE_H

#include <cstddef>

// Room for `limit` bytes of text quoted, each escaped at worst.
constexpr std::size_t quoted_size(std::size_t limit)
{
	return 4 * limit + 1;
}

// Writes at most `limit` bytes of `text` to `out`, NUL-terminated: control
// bytes as \xNN, and `quote_mark` and backslashes after a backslash.  Bytes
// from 0x7f on are escaped too, unless `keep_utf8`, where they are kept and
// a cut falls on a character boundary.  True when the text was cut.
bool quote_text(const char* text, std::size_t length, std::size_t limit, char quote_mark, bool keep_utf8,
                char* out);

#endif
