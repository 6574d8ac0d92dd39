// A query's window: the class bits of the index (stages/class_index.h)
// from one byte on, and the four tokens found in them by bit scans.  What
// stage 2 (stages/verdicts.h) knows of a query before it reads a byte of
// it.
#ifndef BALANCE_CHECK_WINDOW_H
#define BALANCE_CHECK_WINDOW_H

#include <cstddef>
#include <cstdint>

#include "numbers/bit_scan.h"
#include "stages/class_index.h"
#include "stages/masks.h"
#include "target.h"

namespace stages {

using u64 = std::uint64_t;

// The lowest set bit's position; 63 when there is none, since a query never
// reaches the window's last bit.
BALANCE_CHECK_INLINE int lowest(u64 x)
{
	return lowest_position(x | u64{1} << 63);
}

enum Field { owed, deducted, term, rate };

// Step 1: a query's window, its class bits from byte `at` of the data on
// (the first the last query left, white space or the query's first byte),
// and its tokens in bytes from `at`.
struct Window {
	u64 space, digit;
	u64 marks;  // token bytes that are neither digits nor white space
	int start[4];
	int end[4];  // the white space that ends each token
	u64 query;   // its bytes to the rate's end (white space before the first token)
	u64 rate;
};

enum class Fit {
	query,   // four tokens ended within the window
	later,   // the query starts after `at` (or not within the window): go on at skip
	none,    // the query does not fit a window: the general path's
};

// The four tokens' starts and ends, the next three of each after the
// first: with a fourth end there are four starts before it, so that no
// scan is of 0.
BALANCE_CHECK_INLINE void positions_of(u64 starts, u64 ends, Window& w)
{
	const u64 ends_from_deducted = without_lowest(ends), ends_from_term = without_lowest(ends_from_deducted);
	const u64 starts_from_deducted = without_lowest(starts), starts_from_term = without_lowest(starts_from_deducted);
	w.start[deducted] = lowest_position(starts_from_deducted);
	w.start[term] = lowest_position(starts_from_term);
	w.start[rate] = lowest_position(without_lowest(starts_from_term));
	w.end[owed] = lowest_position(ends);
	w.end[deducted] = lowest_position(ends_from_deducted);
	w.end[term] = lowest_position(ends_from_term);
	w.end[rate] = lowest_position(without_lowest(ends_from_term));
}

// The query's bytes and its classes, up to its rate's end.
BALANCE_CHECK_INLINE void masks_of(u64 digit, Window& w)
{
	// The bytes before the first start are white space.
	w.query = below_bit(w.end[rate]);
	w.rate = w.query ^ below_bit(w.start[rate]);
	w.digit = digit & w.query;
	w.marks = ~w.space & ~digit & w.query;
}

// The tokens from the class bits of a window: starts where a token byte
// follows white space (or the window's first byte), ends where white
// space follows a token byte.  Bits past the load read as token bytes, so
// that a start may appear there, but an end, and whatever comes before
// it, is real.
BALANCE_CHECK_INLINE Fit find_tokens(u64 space, u64 digit, Window& w, int& skip)
{
	w.space = space;
	const u64 starts = starts_of(space);
	const u64 ends = ends_of(space);
	w.start[owed] = lowest(starts);
	if (w.start[owed] >= window_bits) {
		skip = w.start[owed];
		return Fit::later;
	}
	if (without_lowest(without_lowest(without_lowest(ends))) == 0) {
		skip = w.start[owed];
		return skip > 0 ? Fit::later : Fit::none;
	}
	positions_of(starts, ends, w);
	masks_of(digit, w);
	return Fit::query;
}

// The tokens' first bytes, as bits of the window: where a sign may stand.
BALANCE_CHECK_INLINE u64 token_starts(const Window& w)
{
	return u64{1} << w.start[owed] | u64{1} << w.start[deducted] | u64{1} << w.start[term] | u64{1} << w.start[rate];
}

// The window from byte `local_at` of the index on.
template <typename Index>
BALANCE_CHECK_INLINE Fit open_window(const Index& ix, std::size_t local_at, Window& w, int& skip)
{
	return find_tokens(bits_from(ix.space, local_at), bits_from(ix.digit, local_at), w, skip);
}

}  // namespace stages

#endif
