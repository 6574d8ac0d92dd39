// The whole filter as the tests and fuzzers run it: input in pieces
// (oracles/chunked_input.h), output in pieces into a string, every
// diagnostic kept, and the roads counted.
#ifndef BALANCE_CHECK_ORACLES_FILTER_HARNESS_H
#define BALANCE_CHECK_ORACLES_FILTER_HARNESS_H

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>

#include "filter.h"
#include "oracles/chunked_input.h"

// Output hook: takes at most `piece` bytes a call, or, with a `varying`
// seed, 1 to 256 drawn from it; when asked to, every other call fails with
// EINTR, or takes nothing for now; call number `failing_call` (1 for the
// first, the close counted too) fails with ENOSPC.
struct Sink {
	std::string text;
	std::size_t piece = output_block_size;
	bool interrupt = false;
	bool nothing_for_now = false;
	std::size_t failing_call = 0;
	std::uint32_t varying = 0;
	std::size_t calls = 0, waits = 0;
	std::size_t largest = 0;  // the most asked of one call
};

inline long write_to_sink(void* context, const char* data, std::size_t size)
{
	auto& s = *static_cast<Sink*>(context);
	s.largest = std::max(s.largest, size);
	if (s.varying != 0) {
		s.varying = s.varying * 1664525u + 1013904223u;
		s.piece = 1 + (s.varying >> 24);
	}
	if (s.interrupt && ++s.calls % 2 == 0) {
		errno = EINTR;
		return -1;
	}
	if (s.nothing_for_now && ++s.waits % 2 == 0) {
		errno = 0;  // no error: nothing taken for now
		return 0;
	}
	if (!s.interrupt && ++s.calls == s.failing_call) {
		errno = ENOSPC;
		return -1;
	}
	const std::size_t n = std::min(size, s.piece);
	s.text.append(data, n);
	return static_cast<long>(n);
}

inline int close_sink(void* context)
{
	auto& s = *static_cast<Sink*>(context);
	if (!s.interrupt && ++s.calls == s.failing_call) {
		errno = ENOSPC;
		return -1;
	}
	return 0;
}

struct FilterRun {
	int status = -1;
	std::string diagnostics;  // every line, each ended by '\n'
	std::string diagnostic;   // the last, without it
	const char* kernel = nullptr;  // the one that ran, when one was asked for
	RoadCounts roads;
	bool guard_intact = true;  // nothing written past the answer block
};

namespace harness {
inline std::string diagnostics, last;
inline void keep(const char* message)
{
	last = message;
	diagnostics += last + '\n';
}
}  // namespace harness

// The filter over `in` into `sink`, with the kernel called `kernel`, or the
// widest when null; `hooks` as given, with the roads counted.
inline FilterRun run_whole_filter(ChunkedInput& in, Sink& sink, bool explain = false, const char* kernel = nullptr,
                                  RunHooks hooks = {})
{
	struct Guarded {  // a write past the answer block lands in the guard
		Output out;
		char guard[output_block_size];
	};
	// Static, as the program's are, and not allocated run by run, which the
	// fuzzers' sanitizers make slow.
	static InputBuffer reader;
	static Guarded g;
	std::memset(g.guard, 0x5a, sizeof g.guard);
	input_init(reader, read_chunk, &in);
	output_init(g.out, write_to_sink, &sink, close_sink);
	harness::diagnostics.clear();
	harness::last.clear();
	FilterRun r;
	hooks.roads = &r.roads;
	if (kernel == nullptr)
		r.status = run_filter(reader, g.out, explain, harness::keep, hooks);
	else
		r.kernel = run_filter_with_kernel(kernel, r.status, reader, g.out, explain, harness::keep, hooks);
	r.diagnostics = harness::diagnostics;
	r.diagnostic = harness::last;
	static char untouched[sizeof g.guard];
	std::memset(untouched, 0x5a, sizeof untouched);
	r.guard_intact = std::memcmp(g.guard, untouched, sizeof untouched) == 0;
	return r;
}

#endif
