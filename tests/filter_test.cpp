// The query loop over interrupted and piecemeal reads and writes, and
// failed ones.
#include <cstdint>
#include <cstring>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "oracles/filter_harness.h"
#include "oracles/general_reading.h"

namespace {

// Interrupted calls are retried and short reads and writes continued: the
// answers and the status are those of a plain run.
TEST(Filter, InterruptedAndPiecemealIOChangeNothing)
{
	// First the answer block fills to 3 bytes short of full (16 381 answers
	// of 4 bytes, three of 3, all from the first read), and a 4-byte answer
	// comes next.
	std::string input;
	for (int i = 0; i < 16381; ++i)
		input += "0 1 0 0\n";
	input += "1 0 0 0\n1 0 0 0\n1 0 0 0\n0 1 0 0\n";
	for (int i = 0; i < 3000; ++i)
		input += mixed_input;
	struct Case {
		std::vector<std::size_t> read_sizes;
		bool read_interrupt;
		std::size_t write_piece;
		bool write_interrupt;
		const char* kernel = nullptr;  // forced, with --debug, which only names it and counts
		bool write_nothing_for_now = false;
	};
	const Case cases[] = {
		{{}, false, output_block_size, false},  // the plain run, first
		{{1}, false, output_block_size, false},
		{{}, true, output_block_size, false},
		{{7}, true, 1, false},
		{{}, false, 1, true},
		{{1}, true, 3, true},
		{{5}, false, 2, false, "swar"},
		{{}, false, 7, false, nullptr, true},
	};
	std::string plain;
	for (const Case& c : cases) {
		ChunkedInput in{input + "0 0 0 0 junk", c.read_sizes};
		in.interrupt = c.read_interrupt;
		Sink sink;
		sink.piece = c.write_piece;
		sink.interrupt = c.write_interrupt;
		sink.nothing_for_now = c.write_nothing_for_now;
		RunHooks hooks;
		hooks.debug = c.kernel != nullptr;
		hooks.give_back = [](void* source, std::size_t n) { static_cast<ChunkedInput*>(source)->offset -= n; };
		const FilterRun r = run_whole_filter(in, sink, false, c.kernel, hooks);
		EXPECT_STREQ(r.kernel, c.kernel);
		ASSERT_EQ(r.status, exit_ok);
		// The roads' answers add up to the lines written.
		const auto lines = static_cast<std::uint64_t>(std::count(sink.text.begin(), sink.text.end(), '\n'));
		EXPECT_EQ(r.roads.window + r.roads.general, lines);
		EXPECT_EQ(r.diagnostics, !c.kernel ? "" : "using the " + std::string(c.kernel) + " kernel\nanswers: " +
		          std::to_string(r.roads.window) + " from the class index, " + std::to_string(r.roads.general) +
		          " by the general path, " + std::to_string(lines) + " in all\n");
		EXPECT_EQ(in.data.substr(in.offset), " junk");  // as a seekable file, just past the end query
		EXPECT_TRUE(r.guard_intact);
		if (plain.empty())
			plain = sink.text;
		EXPECT_EQ(sink.text, plain);
		EXPECT_LE(sink.largest, output_block_size);  // never more than the block holds
		if (c.read_interrupt) {
			EXPECT_GT(in.calls, 2u);  // the interruptions did happen
		}
	}
	EXPECT_EQ(plain.compare(16381 * 4, 13, "no\nno\nno\nyes\n"), 0);
}

}  // namespace

namespace {

// A failed read or write ends the run at once: the answers before it go
// out, then the diagnostic of that error, and the status is a failure.
TEST(Filter, FailedReadOrWriteEndsTheRun)
{
	std::string explained;  // --explain lines, more than one answer block
	for (int i = 0; i < 1000; ++i)
		explained += "7 3 1 -600\n";
	struct Case {
		std::string input;
		int read_errno;
		bool explain;
		std::size_t failing_write;
		std::size_t lines;  // answers written
		std::string message;
	};
	// The C library's own texts: they differ between libraries.
	const std::string read_error = "read error: ", no_space = std::string("write error: ") + std::strerror(ENOSPC);
	const Case cases[] = {
		// read errors after a block that ends in white space, inside a token
		{"1 0 1 5\n2 0 1 5\n", EISDIR, false, 0, 2, "query 3: " + read_error + std::strerror(EISDIR)},
		{"1 0 1 5\n2 0 1 5", EIO, false, 0, 1, "query 2: " + read_error + std::strerror(EIO)},
		// a write error at the final flush, with no terminating query; in the
		// middle of a long explanation
		{"1 0 1 5", 0, false, 1, 0, no_space},
		{explained, 0, true, 2, output_block_size / 134, no_space},  // 134-byte lines
		// at the close, after the last answer went out, at the terminating
		// query or the end of input
		{"1 0 1 5\n0 0 0 0\n", 0, false, 2, 1, no_space},
		{"1 0 1 5\n", 0, false, 2, 1, no_space},
	};
	for (const Case& c : cases) {
		ChunkedInput in{c.input, {}};
		in.fail_with = c.read_errno;
		Sink sink;
		sink.failing_call = c.failing_write;
		const FilterRun r = run_whole_filter(in, sink, c.explain);
		EXPECT_EQ(r.status, exit_failure) << c.message;
		EXPECT_EQ(r.diagnostics, c.message + '\n');
		EXPECT_EQ(std::count(sink.text.begin(), sink.text.end(), '\n'),
		          static_cast<std::ptrdiff_t>(c.lines)) << c.message;
	}
}

}  // namespace
