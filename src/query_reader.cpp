// Tokens are separated by runs of C-locale white space; each of the four
// tokens of a query must be a number as a whole.  A token that touches the
// end of the data read so far may go on in the next block, so it is not
// taken until white space or the end of input follows it.
#include "query_reader.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

const char* skip_token(const char* p, const char* end)
{
	while (p != end && !is_space(*p))
		++p;
	return p;
}

ReadStatus fail(QueryReader& r, InputError e, const char* text, std::size_t n)
{
	r.error = e;
	r.bad_text = text;
	r.bad_length = n;
	return ReadStatus::error;
}

std::size_t length(const char* first, const char* last)
{
	return static_cast<std::size_t>(last - first);
}

}  // namespace

void reader_init(QueryReader& r, ReadFunction read, void* context)
{
	r.read = read;
	r.context = context;
	std::memset(r.storage, 0, sizeof r.storage);  // padding is read, so defined
	r.pos = r.end = r.storage + plain_front_padding;
	r.eof = false;
	r.fields = 0;
	r.partial = BalanceQuery{};
	r.query_number = 1;
	r.error = InputError::none;
	r.error_errno = 0;
	r.bad_text = nullptr;
	r.bad_length = 0;
}

ReadStatus next_query_general(QueryReader& r, BalanceQuery& q)
{
	if (r.error != InputError::none)
		return ReadStatus::error;  // a failed refill
	while (r.fields < 4) {
		const char* t = skip_space(r.pos);
		if (t == r.end) {
			r.pos = r.end;  // white space is consumed, however long
			if (!r.eof)
				return ReadStatus::need_input;
			if (r.fields == 0)
				return ReadStatus::end;
			return fail(r, InputError::ends_inside_query, nullptr, 0);
		}

		std::int64_t integer = 0;
		double rate = 0.0;
		const char* e;
		if (r.fields < 3) {
			e = scan_int64(t, integer);
		} else {
			e = scan_double_fast(t, rate);
			if (e == nullptr)
				e = t;
		}

		if (!is_space(*e) && !(e == r.end && r.eof)) {
			// Not a plain number up to white space: see the whole token.
			const char* te = skip_token(e, r.end);
			if (length(t, te) > max_token_length)
				return fail(r, InputError::too_long, t, length(t, te));
			if (te == r.end && !r.eof) {
				r.pos = const_cast<char*>(t);
				return ReadStatus::need_input;
			}
			if (r.fields < 3 || !parse_double_token(t, te, rate))
				return fail(r, InputError::not_a_number, t, length(t, te));
			e = te;
		} else if (length(t, e) > max_token_length) {
			return fail(r, InputError::too_long, t, length(t, e));
		}

		switch (r.fields) {
		case 0: r.partial.dlh = integer; break;
		case 1: r.partial.spl = integer; break;
		case 2: r.partial.rok = integer; break;
		default: r.partial.urok = rate; break;
		}
		++r.fields;
		r.pos = const_cast<char*>(e);
	}
	q = r.partial;
	r.fields = 0;
	++r.query_number;
	return ReadStatus::query;
}

bool refill(QueryReader& r)
{
	const std::size_t kept = length(r.pos, r.end);
	char* const data = r.storage + plain_front_padding;
	std::memmove(data, r.pos, kept);
	r.pos = data;
	r.end = data + kept;
	const std::size_t room = sizeof r.storage - plain_front_padding - plain_back_padding - kept;
	long n;
	do
		n = r.read(r.context, r.end, room);
	while (n < 0 && errno == EINTR);
	if (n < 0) {
		r.error = InputError::read_failed;
		r.error_errno = errno;
		n = 0;
	} else if (n == 0) {
		r.eof = true;
	}
	r.end += n;
	*r.end = '\0';
	return r.error == InputError::none;
}

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
