// The error texts: one line that says what went wrong and where.
#include "input_error.h"

#include <cstdio>
#include <cstring>

#include "numbers/whole_token.h"
#include "query_reader.h"

namespace {

constexpr std::size_t quoted_bytes = 40;

// The offending text for a diagnostic: at most quoted_bytes of it, with
// control bytes, non-ASCII bytes, quotes and backslashes escaped, so that
// the line stays one readable line on any terminal.
void quote(const char* text, std::size_t length, char (&out)[4 * quoted_bytes + 1])
{
	static const char hex[] = "0123456789abcdef";
	char* o = out;
	for (std::size_t i = 0; i < length && i < quoted_bytes; ++i) {
		const unsigned char c = static_cast<unsigned char>(text[i]);
		if (c == '"' || c == '\\') {
			*o++ = '\\';
			*o++ = static_cast<char>(c);
		} else if (c < 0x20 || c >= 0x7f) {
			*o++ = '\\';
			*o++ = 'x';
			*o++ = hex[c >> 4];
			*o++ = hex[c & 15];
		} else {
			*o++ = static_cast<char>(c);
		}
	}
	*o = '\0';
}

}  // namespace

std::size_t describe_error(const QueryReader& r, char* out, std::size_t size)
{
	char quoted[4 * quoted_bytes + 1];
	quote(r.bad_text, r.bad_length, quoted);
	const char* more = r.bad_length > quoted_bytes ? "..." : "";
	const unsigned long long query = r.query_number;

	int n = 0;
	switch (r.error) {
	case InputError::not_a_number:
		n = std::snprintf(out, size, "query %llu: not a number: \"%s\"%s", query, quoted, more);
		break;
	case InputError::too_long:
		n = std::snprintf(out, size, "query %llu: number longer than %zu bytes: \"%s\"%s", query,
		                  max_token_length, quoted, more);
		break;
	case InputError::ends_inside_query:
		n = std::snprintf(out, size, "query %llu: input ends after %d of its 4 numbers", query,
		                  r.fields);
		break;
	case InputError::read_failed:
		n = std::snprintf(out, size, "query %llu: read error: %s", query,
		                  std::strerror(r.error_errno));
		break;
	case InputError::none:
		n = std::snprintf(out, size, "no error");
		break;
	}
	if (n < 0)
		return 0;
	return static_cast<std::size_t>(n) < size ? static_cast<std::size_t>(n) : size - 1;
}
