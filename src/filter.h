// The query loop: queries in, answers out, until the terminating query, the
// end of input or an error.
#ifndef BALANCE_CHECK_FILTER_H
#define BALANCE_CHECK_FILTER_H

#include "exit_status.h"
#include "output.h"
#include "input_buffer.h"
#include "road_counts.h"

// Receives one diagnostic line, without the program name or newline.
using DiagnoseFunction = void (*)(const char* message);

// A reader that went away (EPIPE) ends the run quietly; any other write
// error is reported.  Either way the status is a failure.
int write_failed(const Output& out, DiagnoseFunction diagnose);

// Takes back the last `unread` bytes a ReadFunction delivered (given its
// context), where the source can: a seekable file.
using GiveBackFunction = void (*)(void* context, std::size_t unread);

// What the program adds at the edges of a run; tests may leave it out.
struct RunHooks {
	// "using the K kernel" diagnosed before the first query, and the
	// answers each road gave after the last.
	bool debug = false;
	// At the terminating query, with what was read past its fourth token,
	// so that the input is left just past the last byte processed.
	GiveBackFunction give_back = nullptr;
	RoadCounts* roads = nullptr;  // where given, those counts at the end
};

// Runs the filter over an initialised input buffer and output; returns the exit
// status.  Every answer is flushed before the program waits for input and
// before any diagnostic; at a normal end the output is closed.
// The kernel is the widest this machine runs (kernels/chosen.h).
int run_filter(InputBuffer& in, Output& out, bool explain, DiagnoseFunction diagnose,
               const RunHooks& hooks = {});

// The same with the kernel called `kernel` ("avx512", "avx2", "sse2",
// "neon", "simd128" or "swar"), for tests and the benchmark: the exit
// status in `status`, and the name of the kernel that ran, which the
// caller checks; nullptr, and nothing run, when this target or machine
// lacks it.
const char* run_filter_with_kernel(const char* kernel, int& status, InputBuffer& in, Output& out, bool explain,
                                   DiagnoseFunction diagnose, const RunHooks& hooks = {});

#endif
