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

// What becomes of the bytes from 0x80 on: escaped like control bytes
// (input, which may be in any encoding), or kept (arguments, as the
// terminal shows them).
enum class NonAscii { escape, keep };

// Writes at most `limit` bytes of `text` to `out`, NUL-terminated: control
// bytes as \xNN, and `quote_mark` and backslashes after a backslash.  A cut
// falls on a UTF-8 character boundary either way, so that no half
// character is shown.  True when the text was cut.
bool quote_text(const char* text, std::size_t length, std::size_t limit, char quote_mark, NonAscii non_ascii,
                char* out);

#endif
