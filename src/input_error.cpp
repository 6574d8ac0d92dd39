// The error texts: one line that says what went wrong and where.
#include "input_error.h"

#include <cstdio>
#include <cstring>

#include "numbers/whole_token.h"
#include "query_reader.h"
#include "quote.h"

namespace {

constexpr std::size_t quoted_bytes = 40;

}  // namespace

std::size_t describe_error(const QueryReader& r, char* out, std::size_t size)
{
	char quoted[quoted_size(quoted_bytes)];
	const bool cut = quote_text(r.bad_text, r.bad_length, quoted_bytes, '"', NonAscii::escape, quoted);
	const char* more = cut ? "..." : "";
	const unsigned long long query = r.query_number;

	int n = 0;
	switch (r.error) {
	case InputError::not_a_number:
		n = std::snprintf(out, size, "query %llu: not a number: \"%s\"%s", query, quoted, more);
		break;
	case InputError::too_long:
		n = std::snprintf(out, size, "query %llu: token longer than %zu bytes: \"%s\"%s", query,
		                  numbers::max_token_length, quoted, more);
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
