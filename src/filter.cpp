// The query loop: every answer is out before the reader waits for input,
// and before any diagnostic.
#include "filter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "balance.h"
#include "explain.h"
#include "next_query.h"

int write_failed(const Output& out, DiagnoseFunction diagnose)
{
	if (out.error != EPIPE) {
		char message[256];
		(void)std::snprintf(message, sizeof message, "write error: %s", std::strerror(out.error));
		diagnose(message);
	}
	return exit_failure;
}

namespace {

bool answer(Output& out, const BalanceQuery& q, bool explain)
{
	if (!explain)
		return output_answer(out, evaluate(q) == Verdict::yes);
	char line[max_explanation_length];
	const std::size_t n = format_explanation(q, evaluate_steps(q), line);
	return output_put(out, line, n);
}

}  // namespace

int run_filter(QueryReader& r, Output& out, bool explain, DiagnoseFunction diagnose)
{
	for (;;) {
		BalanceQuery q;
		switch (next_query(r, q)) {
		case ReadStatus::query:
			if (is_terminating(q))
				return output_flush(out) ? exit_ok : write_failed(out, diagnose);
			if (!answer(out, q, explain))
				return write_failed(out, diagnose);
			break;
		case ReadStatus::need_input:
			// Everything answered so far goes out before we wait for more.
			if (!output_flush(out))
				return write_failed(out, diagnose);
			refill(r);  // a failure shows up as an error on the next call
			break;
		case ReadStatus::end:
			return output_flush(out) ? exit_ok : write_failed(out, diagnose);
		case ReadStatus::error: {
			if (!output_flush(out))
				return write_failed(out, diagnose);
			char message[512];
			describe_error(r, message, sizeof message);
			diagnose(message);
			return exit_failure;
		}
		}
	}
}
