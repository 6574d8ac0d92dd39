// What the filter must answer, from the general path alone, one query at a
// time, for the tests and the fuzzers: stage 2 is held against it.
#ifndef BALANCE_CHECK_ORACLES_GENERAL_PATH_H
#define BALANCE_CHECK_ORACLES_GENERAL_PATH_H

#include <string>

#include "balance.h"
#include "exit_status.h"
#include "oracles/general_reading.h"

struct Answers {
	int status = -1;
	std::string out, message;
};

inline Answers general_path_answers(const std::string& input)
{
	Answers a;
	const GeneralReading r = read_generally(ChunkedInput{input, {}}, [&](const BalanceQuery& q) {
		if (is_terminating(q))
			return false;
		a.out += evaluate(q) == Verdict::yes ? "yes\n" : "no\n";
		return true;
	});
	a.message = r.message;
	a.status = r.last == ReadStatus::error ? exit_failure : exit_ok;
	return a;
}

#endif
