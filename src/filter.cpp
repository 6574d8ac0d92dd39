// The query loop: every answer is out before the reader waits for input,
// and before any diagnostic.
#include "filter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "balance.h"
#include "explain.h"
#include "kernels/chosen.h"
#include "next_query.h"
#include "numbers/white_space.h"
#include "target.h"

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

// The loop, once per kernel: each instance runs inside the kernel's run(),
// compiled for its instruction set with the fast path inline.  A kernel
// that answers blocks takes the plainest queries several at a time, and
// hands each query it does not take to the one-query paths below.
template <typename Kernel>
BALANCE_CHECK_INLINE int filter_loop(QueryReader& r, Output& out, bool explain, DiagnoseFunction diagnose)
{
	// After a block that takes nothing, the next queries go one at a time:
	// a file of other forms does not pay for a block attempt per query.
	constexpr int single_after_miss = 8;
	int single = 0;
	for (;;) {
		if constexpr (Kernel::answers_blocks) {
			if (explain || r.fields != 0) {
				// --explain needs every value; a query begun is the general path's
			} else if (single > 0) {
				--single;
			} else {
				// Blocks one after another while they take queries, the
				// position and the answers' length kept in registers.
				const char* p = skip_space(r.pos);
				const char* const end = r.end;
				std::size_t used = out.length;
				std::uint64_t taken = 0;
				unsigned yes = 0;
				int length = 0;
				int n;
				while ((n = Kernel::answer_block(p, end, yes, length)) > 0) {
					if (sizeof out.buffer - used < 16) {
						out.length = used;
						if (!output_flush(out))
							return write_failed(out, diagnose);
						used = 0;
					}
					used += write_answers(out.buffer + used, yes, n);
					taken += static_cast<unsigned>(n);
					p = skip_space(p + length);
				}
				out.length = used;
				r.pos = const_cast<char*>(p);
				r.query_number += taken;
				if (end - p >= kernels::window)  // not for want of data
					single = single_after_miss;
			}
		}
		BalanceQuery q;
		switch (next_query_with<Kernel>(r, q)) {
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

}  // namespace

int run_filter(QueryReader& r, Output& out, bool explain, DiagnoseFunction diagnose)
{
	return kernels::with_best_kernel([&](auto kernel) {
		return filter_loop<decltype(kernel)>(r, out, explain, diagnose);
	});
}

bool run_filter_with_kernel(const char* kernel, int& status, QueryReader& r, Output& out, bool explain,
                            DiagnoseFunction diagnose)
{
	return kernels::with_kernel_named(kernel, [&](auto k) {
		status = filter_loop<decltype(k)>(r, out, explain, diagnose);
	});
}
