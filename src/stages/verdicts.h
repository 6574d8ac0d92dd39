// Stage 2, the verdicts: queries read from the index's class bits
// (stages/class_index.h), in any spacing and across line ends, a pipeline
// of five steps a query:
//   1. its window: the class bits from the end of the last query on, and
//      by bit scans its four tokens' starts and ends;
//   2. its form: the everyday one, digits with at most one point in the
//      rate, or any other number's, from the bytes of its few marks;
//   3. the order of the amounts, compared as keys up to 19 digits;
//   4. the short cut of balance.h: only where it does not settle the
//      verdict are the values converted and evaluated;
//   5. the answer, through output.h.
// Written once for every kernel.  A query it does not take is refused,
// and the general path (general_query.cpp), the one judge of errors, reads
// it: hexadecimal, inf and nan, junk, a query that does not fit its
// window (window_bits) or runs past the data, a rate that needs more than
// 19 digits converted, and a query whose amounts are both 0, which may end
// the run.
#ifndef BALANCE_CHECK_VERDICTS_H
#define BALANCE_CHECK_VERDICTS_H

#include <cstddef>
#include <cstdint>

#include "balance.h"
#include "output.h"
#include "road_counts.h"
#include "stages/amount_keys.h"
#include "stages/class_index.h"
#include "stages/other_forms.h"
#include "stages/window.h"
#include "target.h"

namespace stages {

// Step 2, the everyday form: digits, but for at most one point, in the
// rate, which has a digit too.  `marks` are the token bytes that are not
// digits, less any leading signs.
BALANCE_CHECK_INLINE bool is_everyday(const char* q, const Window& w, u64 marks)
{
	if (marks == 0)
		return true;
	const int at = lowest_position(marks);
	return !more_than_one(marks) && at >= w.start[rate] && (w.digit >> w.start[rate]) != 0 && q[at] == '.';
}

// Marks before the rate or at its start: where only signs, or bytes no
// number takes, may stand.
BALANCE_CHECK_INLINE bool marks_before_rate(const Window& w)
{
	return (w.marks & (~w.rate | lowest_bit(w.rate))) != 0;
}

// Step 2, a rate with an exponent: the marks left in the rate are an
// optional point, then an exponent letter, then an optional sign, with a
// digit before the letter and the rate ending in a digit.  `marks` are the
// token bytes that are not digits, less any leading signs.
BALANCE_CHECK_INLINE bool is_exponent_rate(const char* q, const Window& w, u64 marks)
{
	if (marks == 0)
		return false;
	// The highest mark is the letter or the sign after it; one outside the
	// rate leaves no mantissa, and one before it must be the rate's point.
	int letter = highest_position(marks);
	u64 last = u64{1} << letter;  // the letter, or the sign after it
	if (q[letter] == '+' || q[letter] == '-') {
		--letter;  // not below 0: a sign that leads its token is not among the marks
		last |= u64{1} << letter;
	}
	if ((q[letter] | 0x20) != 'e' || (last & before_space(w.space)) != 0)
		return false;
	const u64 mantissa = w.rate & below_bit(letter);
	return (w.digit & mantissa) != 0 && is_everyday(q, w, marks & ~last);
}

// Step 3: the amounts' magnitudes, `owed_digits` and `deducted_digits`
// (1 to 16) ending at the tokens' ends, compared as keys; false when both
// are 0, which may be the terminating query.
BALANCE_CHECK_INLINE bool compare_keys(const char* q, const Window& w, int owed_digits, int deducted_digits,
                                       bool& less, bool& equal)
{
	if (((owed_digits - 1) | (deducted_digits - 1)) < 8) {
		// One word each.
		const u64 o = short_key_of(q + w.end[owed], static_cast<std::size_t>(owed_digits)),
		          d = short_key_of(q + w.end[deducted], static_cast<std::size_t>(deducted_digits));
		less = o < d;
		equal = o == d;
		return (o | d) != 0;
	}
	const Key o = key_of(q + w.end[owed], static_cast<std::size_t>(owed_digits)),
	          d = key_of(q + w.end[deducted], static_cast<std::size_t>(deducted_digits));
	// Bitwise, as signed_at_most.
	less = (o.high < d.high) | ((o.high == d.high) & (o.low < d.low));
	equal = (o.high == d.high) & (o.low == d.low);
	return (o.high | o.low | d.high | d.low) != 0;
}

// compare_long_keys out of line: in line, the loop's code grew, and a file
// of everyday and signed queries half and half took longer.  Its answers
// come back in one word (bit 0 less, bit 1 equal, bit 2 compared), not
// through references, which would keep the road's own in memory.
BALANCE_CHECK_NOINLINE inline unsigned compare_long_keys_apart(const char* owed_end, int owed_digits,
                                                               const char* deducted_end, int deducted_digits)
{
	bool less, equal;
	const bool compared = compare_long_keys(owed_end, owed_digits, deducted_end, deducted_digits, less, equal);
	return unsigned{less} | unsigned{equal} << 1 | unsigned{compared} << 2;
}

// Step 3 for amounts of 1 digit or more: one or two words each up to 16,
// three beyond; false when the values are to decide (both 0, more than 19
// digits, or a 19-digit one that may saturate).
BALANCE_CHECK_INLINE bool compare_amounts(const char* q, const Window& w, int owed_digits, int deducted_digits,
                                          bool& less, bool& equal)
{
	if (((owed_digits - 1) | (deducted_digits - 1)) < 16)
		return compare_keys(q, w, owed_digits, deducted_digits, less, equal);
	if ((static_cast<unsigned>(owed_digits - 1) >= 19) | (static_cast<unsigned>(deducted_digits - 1) >= 19))
		return false;
	const unsigned order = compare_long_keys_apart(q + w.end[owed], owed_digits, q + w.end[deducted], deducted_digits);
	less = (order & 1) != 0;
	equal = (order & 2) != 0;
	return (order & 4) != 0;
}

// What a token's first byte says of its sign, for signs_of: bit 0 a sign,
// bit 4 a '-', bit 8 no number's first byte (a point that leads the rate,
// or a byte no number takes); 0 for a digit.
struct LeadTable {
	unsigned short of[256];
	constexpr LeadTable() : of()
	{
		for (int c = 0; c < 256; ++c)
			of[c] = static_cast<unsigned short>(c >= '0' && c <= '9' ? 0 : 0x100);
		of[static_cast<unsigned char>('+')] = 0x001;
		of[static_cast<unsigned char>('-')] = 0x011;
	}
};
inline constexpr LeadTable lead_table;

// The signs of the query in w at q, from its tokens' first bytes, a load
// and a look-up each and no branch; false when one of those bytes is
// neither a sign nor a digit.
BALANCE_CHECK_INLINE bool signs_of(const char* q, const Window& w, Signs& s)
{
	unsigned lead = 0;
	for (int f = owed; f <= rate; ++f)
		lead |= unsigned{lead_table.of[static_cast<unsigned char>(q[w.start[f]])]} << f;
	s = Signs{lead};
	return (lead >> 8) == 0;
}

// Steps 2 to 4 with signs or an exponent: the everyday form but for a
// sign before any token, read from the tokens' first bytes, and an
// exponent in the rate.  Any other form takes the other forms' road;
// amounts the keys do not compare (more than 19 digits, or 19 that may
// saturate), and a '-' before the term or the rate that the verdict waits
// on, the values'.
BALANCE_CHECK_INLINE bool verdict_with_marks(const char* q, const Window& w, bool& yes)
{
	Signs s{0};
	u64 rest = w.marks;
	if (marks_before_rate(w)) {
		const u64 starts = token_starts(w);
		rest &= ~starts;  // once signs_of has found them signs
		if (!signs_of(q, w, s) || (w.marks & starts & before_space(w.space)) != 0)
			return verdict_of_other_form(q, w.space, w.digit, yes);
	}
	if (!(is_everyday(q, w, rest) || is_exponent_rate(q, w, rest)))
		return verdict_of_other_form(q, w.space, w.digit, yes);
	const int owed_digits = digits_of(w, s, owed), deducted_digits = digits_of(w, s, deducted);
	bool less, equal;
	if (!compare_amounts(q, w, owed_digits, deducted_digits, less, equal))
		return verdict_by_value(q, w.space, w.digit, s, yes);
	yes = signed_at_most(less, equal, s.minus(owed), s.minus(deducted));
	// Step 4: only a '-' before the term or the rate leaves it open.
	if (amounts_settle(yes, !s.term_or_rate_minus()))
		return true;
	return verdict_of_open(q, w.space, w.digit, s, yes);
}

// Steps 2 to 4 for the query in the window at q: its verdict in `yes`;
// false when the general path is to read it.
BALANCE_CHECK_INLINE bool verdict(const char* q, const Window& w, bool& yes)
{
	// An exponent in the rate, and no mark before it or at its start, is
	// read in line: the exponent's few marks are all it costs.
	if (BALANCE_CHECK_UNLIKELY(!is_everyday(q, w, w.marks)) &&
	    (marks_before_rate(w) || !is_exponent_rate(q, w, w.marks)))
		return verdict_with_marks(q, w, yes);
	const int owed_digits = w.end[owed] - w.start[owed], deducted_digits = w.end[deducted] - w.start[deducted];
	bool less, equal;
	if (BALANCE_CHECK_UNLIKELY(!compare_amounts(q, w, owed_digits, deducted_digits, less, equal)))
		return verdict_by_value(q, w.space, w.digit, Signs{0}, yes);
	// Step 4: with no signs the term and the rate are 0 or more.
	yes = less | equal;
	return amounts_settle(yes, true);
}

enum class Stop {
	refused,       // not a form stage 2 takes: the general path reads the next query
	too_long,      // the next query does not end within its window: the wide one, then the general path
	index,         // index exhausted: classify more, then answer on
	write_failed,  // out.error says why
};

// Answers queries from byte `local` of the index on into `put`, at most
// `left` of them, while the index holds their windows; leaves `local` where
// the first it did not answer may start.  Stop::index when `left` runs out
// too: the caller tells the two apart.
template <typename Index>
BALANCE_CHECK_INLINE Stop answer_run(const Index& ix, const char* held, std::size_t limit, std::size_t& local,
                                     char*& put, std::size_t& left)
{
	for (; left != 0; --left) {
		if (local >= limit)
			return Stop::index;
		Window w;
		int skip = 0;
		const Fit fit = open_window(ix, local, w, skip);
		if (fit == Fit::none)
			return Stop::too_long;
		if (fit != Fit::query) {
			local += static_cast<std::size_t>(skip);
			++left;  // no answer
			continue;
		}
		bool yes;
		if (!verdict(held + local, w, yes))
			return Stop::refused;
		put = output_answer_at(put, yes);
		local += static_cast<std::size_t>(w.end[rate]);
	}
	return Stop::index;
}

// The query at byte `at` that does not end within its window, tried once
// more with all 64 bits from its first byte (a second load), out of line.
// Stop::index when it is answered and stage 2 may go on after it;
// Stop::refused leaves it to the general path.
template <typename Index>
BALANCE_CHECK_NOINLINE Stop answer_wide(const Index& ix, const char* data, std::size_t& at, Output& out,
                                        RoadCounts& roads)
{
	const std::size_t local = at - ix.first_block * kernels::block_bytes;
	bool yes;
	std::size_t length;
	if (!verdict_of_wide_window(data + at, wide_bits_from(ix.space, local), wide_bits_from(ix.digit, local), yes,
	                            length))
		return Stop::refused;
	if (!output_answer(out, yes))
		return Stop::write_failed;
	at += length;
	++roads.window;
	return Stop::index;
}

// Answers the queries of the data at `data` from byte `at` on, while the
// index holds their windows, and leaves `at` where the first it did not
// answer may start; `roads` counts those it did.
template <typename Index>
BALANCE_CHECK_INLINE Stop answer_indexed(const Index& ix, const char* data, std::size_t& at, Output& out,
                                         RoadCounts& roads)
{
	const std::size_t base = ix.first_block * kernels::block_bytes;
	const std::size_t limit = index_limit(ix) - base;
	std::size_t local = at - base;
	for (;;) {
		// As many as the output block has room for, each with one check of
		// the index; then a flush.
		OutputCursor cursor = output_begin(out);
		const std::size_t room = cursor.left;
		const Stop stop = answer_run(ix, data + base, limit, local, cursor.put, cursor.left);
		output_commit(out, cursor);
		roads.window += room - cursor.left;
		if (cursor.left != 0 || stop != Stop::index || local >= limit) {
			at = base + local;
			return stop;
		}
		if (!output_flush(out)) {
			at = base + local;
			return Stop::write_failed;
		}
	}
}

}  // namespace stages

#endif
