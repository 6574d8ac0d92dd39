// Stage 2, the verdicts: queries read from the index's class bits
// (stages/class_index.h), in any spacing and across line ends, a pipeline
// of five steps a query:
//   1. its window: the class bits from the end of the last query on, and
//      by bit scans its four tokens' starts and ends;
//   2. its form: the everyday one, digits with at most one point in the
//      rate, or any other number's, from the bytes of its few marks;
//   3. the order of the amounts, compared as keys up to 16 digits;
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
#include "stages/amount_keys.h"
#include "stages/class_index.h"
#include "stages/other_forms.h"
#include "stages/window.h"
#include "target.h"

namespace stages {

// Step 2, the everyday form: digits, but for at most one point, in the
// rate, which has a digit too.
BALANCE_CHECK_INLINE bool is_everyday(const char* q, const Window& w)
{
	if (w.marks == 0)
		return true;
	const int at = numbers::countr_zero(w.marks);
	return (w.marks & (w.marks - 1)) == 0 && at >= w.start[rate] && (w.digit >> w.start[rate]) != 0 && q[at] == '.';
}

// Steps 2 to 4 for the query in the window at q: its verdict in `yes`;
// false when the general path is to read it.
BALANCE_CHECK_INLINE bool verdict(const char* q, const Window& w, bool& yes)
{
	const int owed_digits = w.end[owed] - w.start[owed], deducted_digits = w.end[deducted] - w.start[deducted];
	if (!is_everyday(q, w) || ((owed_digits - 1) | (deducted_digits - 1)) >= 16)
		return verdict_of_other_form(q, w.space, w.digit, yes);
	// Step 3: no signs, so the keys compare as the amounts do.
	if (((owed_digits - 1) | (deducted_digits - 1)) < 8) {
		// One word each, under 2^60.
		const u64 o = short_key_of(q + w.end[owed], owed_digits), d = short_key_of(q + w.end[deducted], deducted_digits);
		if ((o | d) == 0)  // may be the terminating query
			return false;
		yes = o <= d;
	} else {
		const Key o = key_of(q + w.end[owed], owed_digits), d = key_of(q + w.end[deducted], deducted_digits);
		if ((o.high | o.low | d.high | d.low) == 0)
			return false;
		// Bitwise, not branching on the answer, which no predictor knows.
		yes = (o.high < d.high) | ((o.high == d.high) & (o.low <= d.low));
	}
	// Step 4: with no signs the term and the rate are 0 or more.
	return amounts_settle(yes, true);
}

enum class Stop {
	general,       // refused: the general path reads the next query
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
		if (fit != Fit::query) {
			if (fit == Fit::none)
				return Stop::general;
			local += static_cast<std::size_t>(skip);
			++left;  // no answer
			continue;
		}
		bool yes;
		if (!verdict(held + local, w, yes))
			return Stop::general;
		put = output_answer_at(put, yes);
		local += static_cast<std::size_t>(w.end[rate]);
	}
	return Stop::index;
}

// Answers the queries of the data at `data` from byte `at` on, while the
// index holds their windows, and leaves `at` where the first it did not
// answer may start; `answered` counts those it did.
template <typename Index>
BALANCE_CHECK_INLINE Stop answer_indexed(const Index& ix, const char* data, std::size_t& at, Output& out,
                                         std::uint64_t& answered)
{
	const std::size_t base = ix.first_block * kernels::block_bytes;
	const std::size_t limit = index_limit(ix) - base;
	std::size_t local = at - base;
	for (;;) {
		// As many as the output block has room for, each with one check of
		// the index; then a flush.
		char* put = out.buffer + out.length;
		const std::size_t room = output_answer_room(out);
		std::size_t left = room;
		const Stop stop = answer_run(ix, data + base, limit, local, put, left);
		out.length = static_cast<std::size_t>(put - out.buffer);
		answered += room - left;
		if (left != 0 || (stop == Stop::index && local >= limit)) {
			at = base + local;
			return stop == Stop::index && ix.complete ? Stop::general : stop;
		}
		if (!output_flush(out)) {
			at = base + local;
			return Stop::write_failed;
		}
	}
}

}  // namespace stages

#endif
