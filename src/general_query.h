// The general path: token by token, every form the C library reads.
#ifndef BALANCE_CHECK_GENERAL_QUERY_H
#define BALANCE_CHECK_GENERAL_QUERY_H

#include "balance.h"
#include "input_buffer.h"
#include "input_error.h"

enum class ReadStatus {
	query,       // a complete query was read
	need_input,  // every complete query is out; refill, then ask again
	end,         // input ended on a query boundary
	error,       // see InputErrorDetails
};

// The query being read: its values so far, kept across refills.
struct PartialQuery {
	int fields = 0;  // values read so far
	BalanceQuery values{};
};

// The next query from the buffer's data into q, or why there is none yet.
// Takes any query, including one begun in an earlier block (`partial`);
// an error is described in `error`.
ReadStatus next_query_general(InputBuffer& in, PartialQuery& partial, InputErrorDetails& error, BalanceQuery& q);

#endif
