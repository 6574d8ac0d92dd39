// The general path, token by token, for every query stage 2 leaves.
// Tokens are separated by runs of C-locale white space; each of the four
// tokens of a query must be a number as a whole.  A token that touches the
// end of the data read so far may go on in the next block, so it is not
// taken until white space or the end of input follows it.
#include "general_query.h"

#include <cstddef>
#include <cstdint>

#include "numbers/scanners.h"
#include "numbers/white_space.h"
#include "numbers/whole_token.h"

namespace {

const char* skip_token(const char* p, const char* end)
{
	while (p != end && !numbers::is_space(*p))
		++p;
	return p;
}

ReadStatus fail(InputErrorDetails& error, InputError e, const char* text, std::size_t n, int fields)
{
	error.kind = e;
	error.text = text;
	error.length = n;
	error.fields = fields;
	return ReadStatus::error;
}

std::size_t length(const char* first, const char* last)
{
	return static_cast<std::size_t>(last - first);
}

}  // namespace

ReadStatus next_query_general(InputBuffer& in, PartialQuery& partial, InputErrorDetails& error, BalanceQuery& q)
{
	while (partial.fields < 4) {
		const char* t = numbers::skip_space(in.pos);
		if (t == in.end) {
			in.pos = in.end;  // white space is consumed, however long
			if (!in.eof)
				return ReadStatus::need_input;
			if (partial.fields == 0)
				return ReadStatus::end;
			return fail(error, InputError::ends_inside_query, nullptr, 0, partial.fields);
		}

		std::int64_t integer = 0;
		double rate = 0.0;
		const char* e;
		if (partial.fields < 3) {
			e = numbers::scan_int64(t, integer);
		} else {
			e = numbers::scan_double_fast(t, rate);
			if (e == nullptr)
				e = t;
		}

		if (!numbers::is_space(*e) && !(e == in.end && in.eof)) {
			// Not a plain number up to white space: see the whole token.
			const char* te = skip_token(e, in.end);
			if (length(t, te) > numbers::max_token_length)
				return fail(error, InputError::too_long, t, length(t, te), partial.fields);
			if (te == in.end && !in.eof) {
				in.pos = t;
				return ReadStatus::need_input;
			}
			if (partial.fields < 3 || !numbers::parse_double_token(t, te, rate))
				return fail(error, InputError::not_a_number, t, length(t, te), partial.fields);
			e = te;
		} else if (length(t, e) > numbers::max_token_length) {
			return fail(error, InputError::too_long, t, length(t, e), partial.fields);
		}

		switch (partial.fields) {
		case 0: partial.values.dlh = integer; break;
		case 1: partial.values.spl = integer; break;
		case 2: partial.values.rok = integer; break;
		default: partial.values.urok = rate; break;
		}
		++partial.fields;
		in.pos = e;
	}
	q = partial.values;
	partial.fields = 0;
	return ReadStatus::query;
}
