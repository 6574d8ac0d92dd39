// What the filter must answer, from the general path alone, one query at a
// time, for the tests and the fuzzers: stage 2 is held against it.
#ifndef BALANCE_CHECK_ORACLES_GENERAL_PATH_H
#define BALANCE_CHECK_ORACLES_GENERAL_PATH_H

#include <memory>
#include <string>

#include "balance.h"
#include "exit_status.h"
#include "general_query.h"
#include "oracles/chunked_input.h"
#include "query_reader.h"

struct Answers {
	int status = -1;
	std::string out, message;
};

inline Answers general_path_answers(const std::string& input)
{
	ChunkedInput in{input, {}};
	auto r = std::make_unique<QueryReader>();
	reader_init(*r, read_chunk, &in);
	Answers a;
	for (;;) {
		BalanceQuery q;
		switch (next_query_general(*r, q)) {
		case ReadStatus::query:
			if (is_terminating(q)) {
				a.status = exit_ok;
				return a;
			}
			a.out += evaluate(q) == Verdict::yes ? "yes\n" : "no\n";
			break;
		case ReadStatus::need_input: refill(*r); break;
		case ReadStatus::end: a.status = exit_ok; return a;
		case ReadStatus::error: {
			char message[512];
			describe_error(*r, message, sizeof message);
			a.message = message;
			a.status = exit_failure;
			return a;
		}
		}
	}
}

#endif
