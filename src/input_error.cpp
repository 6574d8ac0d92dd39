// The error texts: one line that says what went wrong and where.
#include "input_error.h"

#include <cstdio>
#include <cstring>

#include "numbers/whole_token.h"
#include "quote.h"

namespace {

constexpr std::size_t quoted_bytes = 40;

}  // namespace

std::size_t describe_error(const InputErrorDetails& e, std::uint64_t query_number, char* out, std::size_t size)
{
	char quoted[quoted_size(quoted_bytes)];
	const bool cut = quote_text(e.text, e.length, quoted_bytes, '"', NonAscii::escape, quoted);
	const char* more = cut ? "..." : "";
	const unsigned long long query = query_number;

	int n = 0;
	switch (e.kind) {
	case InputError::not_a_number:
		n = std::snprintf(out, size, "query %llu: not a number: \"%s\"%s", query, quoted, more);
		break;
	case InputError::too_long:
		n = std::snprintf(out, size, "query %llu: token longer than %zu bytes: \"%s\"%s", query,
		                  numbers::max_token_length, quoted, more);
		break;
	case InputError::ends_inside_query:
		n = std::snprintf(out, size, "query %llu: input ends after %d of its 4 numbers", query,
		                  e.fields);
		break;
	case InputError::read_failed:
		n = std::snprintf(out, size, "query %llu: read error: %s", query,
		                  std::strerror(e.errno_value));
		break;
	case InputError::none:
		n = std::snprintf(out, size, "no error");
		break;
	}
	if (n < 0)
		return 0;
	return static_cast<std::size_t>(n) < size ? static_cast<std::size_t>(n) : size - 1;
}
