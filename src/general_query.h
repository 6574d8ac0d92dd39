// The general path: token by token, every form the C library reads.
#ifndef BALANCE_CHECK_GENERAL_QUERY_H
#define BALANCE_CHECK_GENERAL_QUERY_H

#include "balance.h"
#include "query_reader.h"

// The next query from r's data, or why there is none yet.  Takes any
// query, including one begun in an earlier block.
ReadStatus next_query_general(QueryReader& r, BalanceQuery& q);

#endif
