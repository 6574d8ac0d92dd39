// The query loop over interrupted and piecemeal reads and writes, and
// with every kernel forced.
#include <cstring>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "filter.h"
#include "kernels/chosen.h"
#include "output.h"

#include <gtest/gtest.h>

#include "reader_harness.h"

namespace {

// Output hook: takes at most `piece` bytes a call; every other call fails
// with EINTR when asked to.
struct Sink {
	std::string text;
	std::size_t piece;
	bool interrupt;
	std::size_t calls = 0;
	std::size_t largest = 0;  // the most asked of one call
	std::size_t failing_call = 0;  // 1 for the first write, ...; it fails with ENOSPC
};

long write_piece(void* context, const char* data, std::size_t size)
{
	auto& s = *static_cast<Sink*>(context);
	s.largest = std::max(s.largest, size);
	if (s.interrupt && ++s.calls % 2 == 0) {
		errno = EINTR;
		return -1;
	}
	if (!s.interrupt && ++s.calls == s.failing_call) {
		errno = ENOSPC;
		return -1;
	}
	const std::size_t n = std::min(size, s.piece);
	s.text.append(data, n);
	return static_cast<long>(n);
}

void no_diagnostic(const char*) {}

std::string diagnostic;
void keep_diagnostic(const char* message)
{
	diagnostic = message;
}

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
	};
	const Case cases[] = {
		{{}, false, output_block_size, false},  // the plain run, first
		{{1}, false, output_block_size, false},
		{{}, true, output_block_size, false},
		{{7}, true, 1, false},
		{{}, false, 1, true},
		{{1}, true, 3, true},
	};
	std::string plain;
	for (const Case& c : cases) {
		ChunkedInput in{input + "0 0 0 0 junk", c.read_sizes};
		in.interrupt = c.read_interrupt;
		Sink sink{{}, c.write_piece, c.write_interrupt};
		auto r = std::make_unique<QueryReader>();
		struct Guarded {  // a write past the answer block lands in the guard
			Output out;
			char guard[output_block_size];
		};
		auto g = std::make_unique<Guarded>();
		std::memset(g->guard, 0x5a, sizeof g->guard);
		reader_init(*r, read_chunk, &in);
		output_init(g->out, write_piece, &sink);
		ASSERT_EQ(run_filter(*r, g->out, false, no_diagnostic), exit_ok);
		EXPECT_EQ(std::count(g->guard, g->guard + sizeof g->guard, '\x5a'),
		          static_cast<std::ptrdiff_t>(sizeof g->guard));
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

// Every kernel the machine runs answers as the portable one does, the
// kernels that answer whole blocks included: the same answers, status and
// diagnostic, over queries at the edges of the block forms (16 and 17
// bytes of amount, '+', zero amounts, one and two points) that fall
// anywhere in a block, with now and then a token no kernel may take.
TEST(Filter, EveryKernelAnswersAsThePortableOne)
{
	// The forms a block takes first, then the others.
	const char* amounts[] = {"0", "1", "+7", "12345678", "9999999999999999", "0000000000000001",
	                         "+999999999999999", "4810431", "578495", "00", "+0", "-3", "+9999999999999999",
	                         "10000000000000000", "12345678901234567890"};
	const char* terms[] = {"0", "30", "+30", "000", "99999999999999999999", "7", "-1"};
	const char* rates[] = {"0", "0.0", "5.", "5.5", "0.5", "+5.25", "4.25", "+0", "00.000", "1e3",
	                       "2.5607576705966579e+00", "5.E-7", "0e999", "123456789012345678901234.5", "-0",
	                       ".5", "-2.5", "+.5", "-1e3"};
	const std::size_t block_forms[] = {9, 6, 14};  // of amounts, terms, rates (and 00, +0)
	// Tokens the general path refuses: in any field, and in an integer's.
	const char* bad[] = {"5.5.5", ".", "..", "+", "++1", "1+", "1+2", "x", "1-", "+-1", "1.5.", "5,5", "\x01",
	                     "1e", "1e+", "e5", "1e5e5", "1e5.5", "1.5e-", "1e+-5", "1-5", "1ee5", "1e5+", "1e5-5"};
	const char* bad_integers[] = {"5.5", "3.0", ".5", "1.", "+.5"};
	const char* short_tokens[] = {"0", "1", "2", "9", "+1"};
	const char* gaps[] = {" ", "\n", "\t", "\r\n", "   ", "\v\f", "                                        "};
	std::mt19937 rng(12);
	bool block_forms_only = false;
	auto pick = [&](const auto& list, std::size_t block_count = 0) {
		const std::size_t n = block_forms_only && block_count != 0 ? block_count : std::size(list);
		return std::string(list[rng() % n]);
	};
	struct Answers {
		int status = -1;
		std::string out, message;
	};
	auto answers = [](const char* kernel, const std::string& input) {
		ChunkedInput in{input, {}};
		auto r = std::make_unique<QueryReader>();
		auto out = std::make_unique<Output>();
		Sink sink{{}, output_block_size, false};
		reader_init(*r, read_chunk, &in);
		output_init(*out, write_piece, &sink);
		diagnostic.clear();
		Answers a;
		EXPECT_TRUE(run_filter_with_kernel(kernel, a.status, *r, *out, false, keep_diagnostic));
		a.out = sink.text;
		a.message = diagnostic;
		return a;
	};
	std::vector<const char*> names;
	kernels::for_each_kernel_here([&](auto kernel) { names.push_back(decltype(kernel)::name); });
	auto expect_same = [&](const std::string& input) {
		const Answers portable = answers("swar", input);
		for (const char* name : names) {
			const Answers a = answers(name, input);
			EXPECT_EQ(a.status, portable.status) << name << ": " << input;
			EXPECT_EQ(a.out, portable.out) << name << ": " << input;
			EXPECT_EQ(a.message, portable.message) << name << ": " << input;
		}
	};
	// Each refused token in each field, second in its block.
	for (const char* b : bad)
		for (int field = 0; field < 4; ++field) {
			std::string q[] = {"5", "7", "30", "4.25"};
			q[field] = b;
			expect_same("1 2 3 4\n" + q[0] + ' ' + q[1] + ' ' + q[2] + ' ' + q[3] + "\n5 6 7 8\n");
		}
	for (int run = 0; run < 300; ++run) {
		std::string input, owed;
		const auto fields = static_cast<unsigned>(4 * (1 + rng() % 200));
		const unsigned spoiled = rng() % 2 == 0 ? static_cast<unsigned>(rng() % fields) : fields;
		const bool short_queries = run % 4 == 0;  // up to eight a block
		block_forms_only = run % 4 != 3;
		for (unsigned field = 0; field < fields; ++field) {
			std::string token = short_queries    ? pick(short_tokens)
			                    : field % 4 == 3 ? pick(rates, block_forms[2])
			                    : field % 4 == 2 ? pick(terms, block_forms[1])
			                                     : pick(amounts, block_forms[0]);
			if (field % 4 == 0)
				owed = token;
			else if (field % 4 == 1 && rng() % 5 == 0)
				token = owed;  // nothing owed, or both 0
			if (field == spoiled)
				token = field % 4 != 3 && rng() % 2 ? pick(bad_integers) : pick(bad);
			input += token + (short_queries ? "\n" : pick(gaps));
		}
		expect_same(input);
	}
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
	};
	for (const Case& c : cases) {
		ChunkedInput in{c.input, {}};
		in.fail_with = c.read_errno;
		Sink sink{{}, output_block_size, false};
		sink.failing_call = c.failing_write;
		auto r = std::make_unique<QueryReader>();
		auto out = std::make_unique<Output>();
		reader_init(*r, read_chunk, &in);
		output_init(*out, write_piece, &sink);
		diagnostic.clear();
		EXPECT_EQ(run_filter(*r, *out, c.explain, keep_diagnostic), exit_failure) << c.message;
		EXPECT_EQ(diagnostic, c.message);
		EXPECT_EQ(std::count(sink.text.begin(), sink.text.end(), '\n'),
		          static_cast<std::ptrdiff_t>(c.lines)) << c.message;
	}
}

}  // namespace
