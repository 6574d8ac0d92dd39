// The query loop: every answer is out before the program waits for input,
// and before any diagnostic.
#include "filter.h"

#include <cerrno>
#include <cstdio>
#include <cstdint>
#include <cstring>

#include "balance.h"
#include "explain.h"
#include "general_query.h"
#include "kernels/chosen.h"
#include "stages/class_index.h"
#include "stages/verdicts.h"
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
// compiled for its instruction set with both stages inline.  Stage 1
// classifies a pass of the data ahead of stage 2, which answers what it
// takes; every other query goes through the general path, one at a time.
// The loop owns what the stages share: the index of the data, the query
// the general path has begun, the error found and the answers of each road
// (which number the query being read).
template <typename Kernel>
BALANCE_CHECK_INLINE int filter_loop(InputBuffer& in, Output& out, bool explain, DiagnoseFunction diagnose,
                                     const RunHooks& hooks, RoadCounts& roads)
{
	if (hooks.debug) {
		char line[64];
		(void)std::snprintf(line, sizeof line, "using the %s kernel", Kernel::name);
		diagnose(line);
	}
	stages::ClassIndex index;
	stages::index_reset(index);
	PartialQuery partial;
	InputErrorDetails error;
	auto report = [&]() {
		if (!output_flush(out))
			return write_failed(out, diagnose);
		char message[512];
		// The query being read is the one after every query answered.
		describe_error(error, roads.window + roads.general + 1, message, sizeof message);
		diagnose(message);
		return exit_failure;
	};
	for (;;) {
		// --explain needs every value; a query begun is the general path's.
		while (!explain && partial.fields == 0) {
			const char* const data = in.data();
			std::size_t at = static_cast<std::size_t>(in.pos - data);
			stages::Stop stop = stages::answer_indexed(index, data, at, out, roads);
			// Only a query too long for its window is tried once more, wide.
			if (stop == stages::Stop::too_long)
				stop = stages::answer_wide(index, data, at, out, roads);
			in.pos = data + at;
			if (stop == stages::Stop::write_failed)
				return write_failed(out, diagnose);
			if (stop == stages::Stop::refused || stop == stages::Stop::too_long)
				break;
			if (at < stages::index_limit(index))
				continue;  // the wide window answered: the index still holds what follows
			stages::index_pass<Kernel>(index, data, static_cast<std::size_t>(in.end - data), at);
		}
		BalanceQuery q;
		switch (next_query_general(in, partial, error, q)) {
		case ReadStatus::query:
			if (is_terminating(q)) {
				// The general path reads every terminating query, and stops
				// just past its fourth token: the white space after it stays
				// unread, as for scanf.
				if (hooks.give_back != nullptr)
					hooks.give_back(in.context, static_cast<std::size_t>(in.end - in.pos));
				return output_close(out) ? exit_ok : write_failed(out, diagnose);
			}
			++roads.general;
			if (!answer(out, q, explain))
				return write_failed(out, diagnose);
			break;
		case ReadStatus::need_input:
			// Everything answered so far goes out before we wait for more.
			if (!output_flush(out))
				return write_failed(out, diagnose);
			if (!refill(in)) {
				error = InputErrorDetails{InputError::read_failed, in.read_errno, nullptr, 0, partial.fields};
				return report();
			}
			stages::index_reset(index);  // the data moved
			break;
		case ReadStatus::end:
			return output_close(out) ? exit_ok : write_failed(out, diagnose);
		case ReadStatus::error:
			return report();
		}
	}
}

// With --debug, the answers each road gave, at the end of the run.
int counted(int status, const RoadCounts& roads, DiagnoseFunction diagnose, const RunHooks& hooks)
{
	if (hooks.roads != nullptr)
		*hooks.roads = roads;
	if (hooks.debug) {
		char line[160];
		const std::uint64_t all = roads.window + roads.general;
		(void)std::snprintf(line, sizeof line, "answers: %llu from the class index, %llu by the general path, %llu in all",
		                    static_cast<unsigned long long>(roads.window), static_cast<unsigned long long>(roads.general),
		                    static_cast<unsigned long long>(all));
		diagnose(line);
	}
	return status;
}

}  // namespace

int run_filter(InputBuffer& in, Output& out, bool explain, DiagnoseFunction diagnose, const RunHooks& hooks)
{
	RoadCounts roads;
	const int status = kernels::with_best_kernel([&](auto kernel) {
		return filter_loop<decltype(kernel)>(in, out, explain, diagnose, hooks, roads);
	});
	return counted(status, roads, diagnose, hooks);
}

const char* run_filter_with_kernel(const char* kernel, int& status, InputBuffer& in, Output& out, bool explain,
                                   DiagnoseFunction diagnose, const RunHooks& hooks)
{
	const char* ran = nullptr;
	RoadCounts roads;
	kernels::with_kernel_named(kernel, [&](auto k) {
		ran = decltype(k)::name;
		status = counted(filter_loop<decltype(k)>(in, out, explain, diagnose, hooks, roads), roads, diagnose, hooks);
	});
	return ran;
}
