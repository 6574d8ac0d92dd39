// The general path, token by token, for everything the fast path leaves.
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

ReadStatus next_query_general(QueryReader& r, BalanceQuery& q)
{
	if (r.error != InputError::none)
		return ReadStatus::error;  // a failed refill
	while (r.fields < 4) {
		const char* t = numbers::skip_space(r.pos);
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
			e = numbers::scan_int64(t, integer);
		} else {
			e = numbers::scan_double_fast(t, rate);
			if (e == nullptr)
				e = t;
		}

		if (!numbers::is_space(*e) && !(e == r.end && r.eof)) {
			// Not a plain number up to white space: see the whole token.
			const char* te = skip_token(e, r.end);
			if (length(t, te) > numbers::max_token_length)
				return fail(r, InputError::too_long, t, length(t, te));
			if (te == r.end && !r.eof) {
				r.pos = t;
				return ReadStatus::need_input;
			}
			if (r.fields < 3 || !numbers::parse_double_token(t, te, rate))
				return fail(r, InputError::not_a_number, t, length(t, te));
			e = te;
		} else if (length(t, e) > numbers::max_token_length) {
			return fail(r, InputError::too_long, t, length(t, e));
		}

		switch (r.fields) {
		case 0: r.partial.dlh = integer; break;
		case 1: r.partial.spl = integer; break;
		case 2: r.partial.rok = integer; break;
		default: r.partial.urok = rate; break;
		}
		++r.fields;
		r.pos = e;
	}
	q = r.partial;
	r.fields = 0;
	++r.query_number;
	return ReadStatus::query;
}
