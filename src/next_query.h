// The next query: the fast path where it takes the query whole, the general
// path for everything else.  Inline, so that the caller's loop runs the
// fast path without a call.
#ifndef BALANCE_CHECK_NEXT_QUERY_H
#define BALANCE_CHECK_NEXT_QUERY_H

#include "balance.h"
#include "everyday_query.h"
#include "general_query.h"
#include "kernels/chosen.h"
#include "query_reader.h"
#include "target.h"

template <typename Kernel>
BALANCE_CHECK_INLINE ReadStatus next_query_with(QueryReader& r, BalanceQuery& q)
{
	if (r.fields == 0) {
		if (const char* end = read_everyday_query_with<Kernel>(r.pos, q)) {
			r.pos = const_cast<char*>(end);
			++r.query_number;
			return ReadStatus::query;
		}
	}
	return next_query_general(r, q);
}

// With the kernel every machine of the target runs, for callers outside
// the query loop.
inline ReadStatus next_query(QueryReader& r, BalanceQuery& q)
{
	return next_query_with<kernels::Baseline>(r, q);
}

#endif
