// Any other number's form, read from the bytes of the query's marks, and
// the values: the amounts compared as keys where those compare them, else
// converted; the term and the rate converted only where the short cut of
// balance.h leaves the verdict open.
#include "stages/other_forms.h"

#include <cstdint>
#include <initializer_list>

#include "balance.h"
#include "numbers/digits.h"
#include "numbers/exact_value.h"
#include "numbers/rate_places.h"
#include "numbers/scanners.h"
#include "stages/amount_keys.h"

namespace stages {

namespace {

// The marks of a query by what they are, read from its bytes: points,
// signs, exponent letters, and bytes no number takes.
struct Marks {
	u64 point, sign, letter, other;
};

enum MarkKind : unsigned char { other_mark, point_mark, sign_mark, letter_mark };

struct MarkTable {
	MarkKind of[256];
	constexpr MarkTable() : of()
	{
		of[static_cast<unsigned char>('.')] = point_mark;
		of[static_cast<unsigned char>('+')] = of[static_cast<unsigned char>('-')] = sign_mark;
		of[static_cast<unsigned char>('e')] = of[static_cast<unsigned char>('E')] = letter_mark;
	}
};
constexpr MarkTable mark_table;

// Step 2, any other number's form: digits after an optional sign, and in
// the rate digits before and after at most one point, then at most one
// exponent letter with an optional sign and digits.  Anything else is the
// general path's, which takes hexadecimal, inf and nan, and judges what
// is wrong.  `m` holds the marks when the form is a number's.
BALANCE_CHECK_INLINE bool has_number_form(const char* q, const Window& w, Marks& m)
{
	u64 kinds[4] = {0, 0, 0, 0};  // by MarkKind, looked up rather than branched on
	for (u64 left = w.marks; left != 0; left = without_lowest(left))
		kinds[mark_table.of[static_cast<unsigned char>(q[lowest_position(left)])]] |= lowest_bit(left);
	m = Marks{kinds[point_mark], kinds[sign_mark], kinds[letter_mark], kinds[other_mark]};
	if (m.other != 0)
		return false;
	const u64 mantissa = w.rate & (lowest_bit(m.letter) - 1);  // before the letter, or all
	const u64 misplaced = (m.letter & ~w.rate) | without_lowest(m.letter) |
	                      (m.sign & ~(token_starts(w) | m.letter << 1)) | (m.point & ~mantissa) |
	                      without_lowest(m.point) | ((m.sign | m.letter) & before_space(w.space));
	return misplaced == 0 && (w.digit & mantissa) != 0;
}

// An integer token of `length` bytes at t, digits after `sign` (0 or 1)
// sign bytes, as strtoll reads it: saturated at the 64-bit limits.  Up to
// 19 digits by their known count, longer ones (leading zeros, or far
// beyond the range) by the general path's scanner.
BALANCE_CHECK_INLINE std::int64_t integer_at(const char* t, int sign, int length)
{
	if (length - sign > numbers::max_fast_digits) {
		std::int64_t v = 0;
		numbers::scan_int64(t, v);
		return v;
	}
	// Bitwise: the sign is as unpredictable as the data.
	return numbers::saturated(numbers::value_of_digits(t + sign, length - sign), (sign != 0) & (*t == '-'));
}

// The places of the rate's marks in the window, its form checked: after
// its sign, an optional point, then an optional letter and its sign.
BALANCE_CHECK_INLINE numbers::RatePlaces rate_places(const char* q, const Window& w, int sign)
{
	const int start = w.start[rate], length = w.end[rate] - start;
	// Without branches, which the rates' forms would make unpredictable:
	// `lowest` of no mark is the window's last bit, which no query reaches.
	u64 marks = w.marks & w.rate & ~(static_cast<u64>(sign) << start);
	const int first = lowest(marks);
	const bool point = (marks != 0) & (q[first] == '.');
	marks = point ? without_lowest(marks) : marks;
	const int letter = marks != 0 ? lowest(marks) - start : length;
	return numbers::RatePlaces{sign, point ? first - start : -1, letter, length};
}

// The rate's value, its form checked: from its marks' places, or where
// those leave it (leading zeros, a long exponent) by the scanner; false
// when only the general path converts it.
BALANCE_CHECK_INLINE bool rate_value(const char* q, const Window& w, int sign, double& urok)
{
	const char* const t = q + w.start[rate];
	numbers::Decimal d{0, 0, false};
	if (!numbers::decimal_at(t, rate_places(q, w, sign), d) && numbers::scan_decimal(t, d) != q + w.end[rate])
		return false;
	return numbers::value_of(d, urok);
}

enum class Order { at_most, more, both_zero };

// Field f's integer, its sign given.
BALANCE_CHECK_INLINE std::int64_t integer_of(const char* q, const Window& w, Signs s, Field f)
{
	return integer_at(q + w.start[f], s.at(f), w.end[f] - w.start[f]);
}

// The owed amount against the deducted, with their signs: compared as
// three-word keys up to 19 digits where neither may saturate, else
// converted.
BALANCE_CHECK_INLINE Order order_of_amounts(const char* q, const Window& w, Signs s)
{
	const int owed_digits = digits_of(w, s, owed), deducted_digits = digits_of(w, s, deducted);
	bool less, equal;
	if (static_cast<unsigned>(owed_digits - 1) < 19 && static_cast<unsigned>(deducted_digits - 1) < 19 &&
	    compare_long_keys(q + w.end[owed], owed_digits, q + w.end[deducted], deducted_digits, less, equal))
		return signed_at_most(less, equal, s.minus(owed), s.minus(deducted)) ? Order::at_most : Order::more;
	const std::int64_t dlh = integer_of(q, w, s, owed), spl = integer_of(q, w, s, deducted);
	if ((dlh | spl) == 0)
		return Order::both_zero;
	return dlh <= spl ? Order::at_most : Order::more;
}

// The verdict from the values, converted, where the amounts leave it open:
// something owed, and a '-' before the term or the rate.
BALANCE_CHECK_INLINE bool verdict_of_open(const char* q, const Window& w, Signs s, bool& yes)
{
	double urok;
	if (!rate_value(q, w, s.at(rate), urok))
		return false;
	// Not evaluate: its short cut would wait on the term's and the rate's
	// values, and the branch, a '-' before either, is unpredictable.
	const BalanceQuery values{integer_of(q, w, s, owed), integer_of(q, w, s, deducted), integer_of(q, w, s, term), urok};
	yes = evaluate_verdict(values) == Verdict::yes;
	return true;
}

// The verdict from the amounts' order, and from the values where that
// leaves it open.
BALANCE_CHECK_INLINE bool verdict_by_value(const char* q, const Window& w, Signs s, bool& yes)
{
	const Order order = order_of_amounts(q, w, s);
	if (order == Order::both_zero)  // may be the terminating query
		return false;
	yes = order == Order::at_most;
	return amounts_settle(yes, !s.term_or_rate_minus()) || verdict_of_open(q, w, s, yes);
}

// The signs of the query in w at q, the sign marks at its tokens' starts
// given.  A loop: GCC 12 with -fsanitize=undefined compiles the same as
// four calls of a function of the field into a wrong answer.
BALANCE_CHECK_INLINE Signs signs_from_marks(const char* q, const Window& w, u64 sign_marks)
{
	unsigned bits = 0;
	for (const Field f : {owed, deducted, term, rate})
		if (((sign_marks >> w.start[f]) & 1) != 0)
			bits |= (q[w.start[f]] == '-' ? 0x11u : 0x01u) << f;  // cppcheck-suppress useStlAlgorithm
	return Signs{bits};
}

BALANCE_CHECK_INLINE bool verdict_of_other_form(const char* q, const Window& w, bool& yes)
{
	Marks m;
	if (!has_number_form(q, w, m))
		return false;
	return verdict_by_value(q, w, signs_from_marks(q, w, m.sign), yes);
}

// The tokens of the window with the bits given; false when its four do
// not end within it.
BALANCE_CHECK_INLINE bool tokens_of(u64 space, u64 digit, Window& w)
{
	int skip;
	return find_tokens(space, digit, w, skip) == Fit::query;
}

}  // namespace

bool verdict_by_value(const char* q, u64 space, u64 digit, Signs s, bool& yes)
{
	Window w;
	return tokens_of(space, digit, w) && verdict_by_value(q, w, s, yes);  // found once already
}

bool verdict_of_open(const char* q, u64 space, u64 digit, Signs s, bool& yes)
{
	Window w;
	return tokens_of(space, digit, w) && verdict_of_open(q, w, s, yes);  // found once already
}

bool verdict_of_other_form(const char* q, u64 space, u64 digit, bool& yes)
{
	Window w;
	return tokens_of(space, digit, w) && verdict_of_other_form(q, w, yes);
}

bool verdict_of_wide_window(const char* q, u64 space, u64 digit, bool& yes, std::size_t& length)
{
	Window w;
	if (!tokens_of(space, digit, w))
		return false;
	length = static_cast<std::size_t>(w.end[rate]);
	return verdict_of_other_form(q, w, yes);
}

}  // namespace stages
