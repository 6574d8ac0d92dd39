// The program end to end, as a shell or another program would run it.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "kernels/chosen.h"
#include "oracles/processor_flags.h"
#include "program_command.h"

namespace {

using Args = std::vector<const char*>;

// The kernel the program must choose: the widest of its target, and on
// x86-64 the widest the system says the processor has; where it says
// nothing (no /proc/cpuinfo), the program's own choice, unchecked.
std::string expected_kernel()
{
#if defined(BALANCE_CHECK_HAVE_X86_DISPATCH)
	const ProcessorFlags p = processor_flags();
	if (!p.listed)
		return kernels::with_best_kernel([](auto k) { return k.name; });
#if defined(BALANCE_CHECK_HAVE_AVX512)
	if (p.avx512())
		return "avx512";
#endif
#if defined(BALANCE_CHECK_HAVE_AVX2)
	if (p.avx2())
		return "avx2";
#endif
#endif
#if defined(BALANCE_CHECK_HAVE_SSE2)
	return "sse2";
#elif defined(BALANCE_CHECK_HAVE_NEON)
	return "neon";
#elif defined(BALANCE_CHECK_HAVE_SIMD128)
	return "simd128";
#else
	return "swar";
#endif
}

// Replaces this process with the program (under the target's emulator when
// cross built), given the arguments `args`.
[[noreturn]] void exec_program(Args args = {})
{
	const char* const command[] = {BALANCE_CHECK_COMMAND};
	args.insert(args.begin(), std::begin(command), std::end(command));
	args.push_back(nullptr);
	execvp(args[0], const_cast<char* const*>(args.data()));
	_exit(127);
}

struct Result {
	std::string out;
	std::string err;
	int status;  // exit status, or 128 + signal
	std::string rest;
};

std::string slurp(const std::string& path)
{
	std::ifstream f(path, std::ios::binary);
	std::stringstream s;
	s << f.rdbuf();
	return s.str();
}

std::string temp_path(const char* name)
{
	return testing::TempDir() + "balance_check_" + std::to_string(getpid()) + "_" + name;
}

int wait_status(pid_t pid)
{
	int status = 0;
	waitpid(pid, &status, 0);
	return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Runs the program `runs` times on one stdin, as `(p; p) < f`: `input` or the file `stdin_path`; stdout
// to `stdout_path` when given ("" for either: closed).  `rest`: the input past the offset they left.
Result run(const std::string& input, const Args& args = {}, const char* stdin_path = nullptr,
           const char* stdout_path = nullptr, int runs = 1)
{
	const std::string in = temp_path("in"), out = temp_path("out"), err = temp_path("err");
	std::ofstream(in, std::ios::binary) << input;
	const int fds[] = {open(stdin_path ? stdin_path : in.c_str(), O_RDONLY),  // shared by the runs
	                   open(stdout_path ? stdout_path : out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600),
	                   open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600)};
	Result r;
	for (int i = 0; i < runs; ++i) {
		const pid_t pid = fork();
		if (pid == 0) {
			for (int fd = 0; fd < 3; ++fd)
				(void)(fds[fd] < 0 ? close(fd) : dup2(fds[fd], fd));
			exec_program(args);
		}
		r.status = wait_status(pid);
	}
	r.rest = stdin_path ? "" : input.substr(static_cast<std::size_t>(lseek(fds[0], 0, SEEK_CUR)));
	for (const int fd : fds)
		close(fd);
	r.out = stdout_path ? "" : slurp(out);
	r.err = slurp(err);
	return r;
}

TEST(Program, TerminationAndTextAfterIt)
{
	struct Case {
		std::string input;
		std::string out;
		const char* rest = nullptr;  // left for the next reader; nullptr: not checked
		int runs = 1;
		const char* stdout_path = nullptr;
	};
	// A file longer than one read, the terminating query early and late in it.
	std::string queries, answers;
	for (int k = 0; k < 20000; ++k) {
		queries += "1 2 3 4\n";
		answers += "yes\n";
	}
	const std::string early_rest = "\n" + queries;
	const Case cases[] = {
		{"1 0 1 0\n0 0 0 0" + early_rest, "no\n", early_rest.c_str()},
		{queries + "0 0 0 0\nrest\n", answers, "\nrest\n"},
		{"0 0 0 0", "", ""},
		{"0 0 0 0\n", "", "\n", 1, ""},  // a closed stdout that takes nothing is no error
		{"1 0 1 0\n0 0 0 0\n100 100 10 7.5\n0 0 0 0\nrest\n", "no\nyes\n", "\nrest\n", 2},
		{"0 0 0 0.0\n", ""},
		{"0 0 0 -0\n", ""},
		{"0 0 0 0e5\n", ""},
		{"0 0 0 1\n0 0 1 0\n0 0 0 0\n", "yes\nyes\n"},
		{"0 0 -1 0\n0 -1 0 0\n-1 0 0 0\n0 0 0 -1\n0 0 0 -0.0\n1 0 0 0\n", "yes\nno\nyes\nyes\n"},
		{"0 0 0 nan 0 0 0 0\n", "yes\n"},
		// one condition away from the end, then odd forms of it
		{"5 5 0 0\n-7 -7 0 0\n0 0 0 0.5\n0 0 0 3e-324\n0 0 4294967296 0\n0 0 0 0\n",
		 "yes\nyes\nyes\nyes\nyes\n"},
		{"0 0 0 nan(1)\n+0 -0 00 -0x0p9\n1 0 0 0\n", "yes\n"},
		{"0000 +00 -0 0.000e-99999 1 0 0 0\n", ""},
		{"0 0 0 2e-324\n1 0 0 0\n", ""},  // the rate rounds to 0
		{"100 99 1 5\n0 0 0 0\n", "no\n"},
		{"100 99 1 5 0 0 0 0 this \x01 is never read", "no\n", " this \x01 is never read"},
		{"100\n99\n1\n5\n100 100 10 7.5 100 101 30 3\n", "no\nyes\nyes\n"},  // ends on a boundary
		{"", ""},
	};
	for (const Case& c : cases) {
		const Result r = run(c.input, {}, nullptr, c.stdout_path, c.runs);
		const std::string shown = c.input.substr(0, 40);
		EXPECT_EQ(r.out, c.out) << shown;
		EXPECT_EQ(r.rest, c.rest ? c.rest : r.rest) << shown;
		EXPECT_EQ(r.err, "") << shown;
		EXPECT_EQ(r.status, 0) << shown;
	}
}

TEST(Program, BundledExample)
{
	const Result r = run("", {}, EXAMPLES_DIR "/queries.txt");
	EXPECT_EQ(r.out, slurp(EXAMPLES_DIR "/queries.expected"));
	EXPECT_EQ(r.status, 0);
}

TEST(Program, BadInputAfterTheAnswersBeforeIt)
{
	std::string escaped;  // the quoted text at its longest: 40 bytes, each escaped
	for (int i = 0; i < 40; ++i)
		escaped += "\\x80";
	struct Case {
		std::string input;
		const char* stdin_path;
		const char* out;
		std::string err;
	};
	const Case cases[] = {
		{"1 2 3 4\n100 99 1 five\n", nullptr, "yes\n",
		 "balance-check: query 2: not a number: \"five\"\n"},
		{"1 2 3 4\n100 99\n", nullptr, "yes\n",
		 "balance-check: query 2: input ends after 2 of its 4 numbers\n"},
		{"", "/", "", "balance-check: query 1: read error: Is a directory\n"},
		{"", "", "", "balance-check: query 1: read error: Bad file descriptor\n"},
		{"1 2 3 " + std::string(4097, '\x80'), nullptr, "",
		 "balance-check: query 1: token longer than 4096 bytes: \"" + escaped + "\"...\n"},
		{"1 2 3 4 " + std::string(4096, '\x80'), nullptr, "yes\n",
		 "balance-check: query 2: not a number: \"" + escaped + "\"...\n"},
		{"1 2 3 " + std::string(39, 'x') + "\xc3\xa9", nullptr, "",  // no half character
		 "balance-check: query 1: not a number: \"" + std::string(39, 'x') + "\"...\n"},
	};
	std::vector<Case> all(std::begin(cases), std::end(cases));
	// The 40-byte cut after each byte of a 3- and a 4-byte character leaves
	// it out whole, and keeps one that ends at the cut, escaped.
	const std::pair<std::string, std::string> characters[] = {{"\xe2\x82\xac", "\\xe2\\x82\\xac"},
	                                                          {"\xf0\x9f\x98\x80", "\\xf0\\x9f\\x98\\x80"}};
	for (const auto& [character, escaped_character] : characters)
		for (std::size_t before = 40 - character.size(); before < 40; ++before) {
			const std::string x(before, 'x');
			const std::string kept = before + character.size() <= 40 ? x + escaped_character : x;
			all.push_back({"1 2 3 " + x + character + "y", nullptr, "",
			               "balance-check: query 1: not a number: \"" + kept + "\"...\n"});
		}
	for (const Case& c : all) {
		const Result r = run(c.input, {}, c.stdin_path);
		SCOPED_TRACE(c.input.substr(0, 20));
		EXPECT_EQ(r.out, c.out);
		EXPECT_EQ(r.err, c.err);
		EXPECT_EQ(r.status, 1);
	}
}

// Read as getopt_long reads them: options left to right wherever they
// stand, --help and --version at once, operands refused once all is read.
TEST(Program, CommandLine)
{
	const std::string long_option = "--" + std::string(148, 'y'), cut = long_option.substr(0, 100) + "'...";
	// A character across the cut is left out whole; a control byte escaped.
	const std::string across = "--" + std::string(97, 'y') + "\xc3\xa9z", across_cut = across.substr(0, 99) + "'...";
	// stdout whole, or its start where that ends no line
	const char* const help = "Usage: balance-check [--explain] [--debug]\nAnswer balance queries";
	const char* const version = "balance-check " BALANCE_CHECK_VERSION "\nCopyright (C) 2026 balance-check developers.\n"
	                            "License MIT: <https://opensource.org/licenses/MIT>.";
	struct Case {
		Args args;
		std::string out;
		std::string message;  // on stderr, before the usage line
		int status;
	};
	const Case cases[] = {
		{{"--explain", "x"}, "", "extra operand 'x'", 2},
		{{"x", "y", "--explain"}, "", "extra operand 'x'", 2},
		{{"--help", "x"}, help, "", 0},
		{{"x", "--help"}, help, "", 0},
		{{"--h"}, help, "", 0},
		{{"--help", "--bogus"}, help, "", 0},
		{{"--bogus", "--help"}, "", "unrecognized option '--bogus'", 2},
		{{"--version"}, version, "", 0},
		{{"--vers"}, version, "", 0},
		{{"--version", "--help"}, version, "", 0},
		{{"--exp"}, "100 99 1 5: difference 1, periods 12, monthly factor ", "", 0},
		{{"--"}, "no\n", "", 0},
		{{"--", "--help"}, "", "extra operand '--help'", 2},
		{{"-"}, "", "extra operand '-'", 2},
		{{"--bogus"}, "", "unrecognized option '--bogus'", 2},
		{{"--explainx"}, "", "unrecognized option '--explainx'", 2},
		{{"--explain=1"}, "", "option '--explain' doesn't allow an argument", 2},
		{{"--h="}, "", "option '--help' doesn't allow an argument", 2},
		{{"--="}, "", "option '--=' is ambiguous; possibilities: '--debug' '--explain' '--help' '--version'", 2},
		{{"--d"}, "no\n",  // on stderr, and nothing else changes
		 "using the " + expected_kernel() + " kernel\nbalance-check: answers: 1 from the class index, 0 by the "
		                                    "general path, 1 in all", 0},
		{{"-x"}, "", "invalid option -- 'x'", 2},
		{{"-\x7f"}, "", "invalid option -- '\\x7f'", 2},
		{{"-\xc3\xa9"}, "", "invalid option -- '\xc3\xa9'", 2},
		{{long_option.c_str()}, "", "unrecognized option '" + cut, 2},
		{{"--", long_option.c_str()}, "", "extra operand '" + cut, 2},
		{{across.c_str()}, "", "unrecognized option '" + across_cut, 2},
		{{"--\x1b[2J"}, "", "unrecognized option '--\\x1b[2J'", 2},
	};
	for (const Case& c : cases) {
		std::string trace;
		for (const char* arg : c.args)
			trace += std::string(" ") + arg;
		SCOPED_TRACE(trace);
		const Result r = run("100 99 1 5\n", c.args);
		if (!c.out.empty() && c.out.back() != '\n')
			EXPECT_EQ(r.out.substr(0, c.out.size()), c.out);
		else
			EXPECT_EQ(r.out, c.out);
		EXPECT_EQ(r.err, c.message.empty() ? "" : "balance-check: " + c.message + "\n" +
		                 (c.status == 2 ? "Try 'balance-check --help' for more information.\n" : ""));
		EXPECT_EQ(r.status, c.status);
	}
}

TEST(Program, ExplainNamesEveryValue)
{
	// Every field by name; values whose pow is exact on any C library.
	const Result explain = run("100 99 1 5\n9223372036854775807 -9223372036854775808 0 2.5\n"
	                           "7 3 1 -600\n-5 2 3 -1200\n10000000000000000 0 0 0\n",
	                           {"--explain"});
	const std::string lines[] = {
		"100 99 1 5: difference 1, periods 12, monthly factor 1.0041666666666667, growth ",
		"9223372036854775807 -9223372036854775808 0 2.5: difference 18446744073709551616, "
		"periods 0, monthly factor 1.0020833333333334, growth 1, grown balance "
		"18446744073709551616, remaining balance 9223372036854775807, no\n",
		"7 3 1 -600: difference 4, periods 12, monthly factor 0.5, growth 0.000244140625, "
		"grown balance 0.0009765625, remaining balance 0, yes\n",
		"-5 2 3 -1200: difference -7, periods 36, monthly factor 0, growth 0, grown balance -0, "
		"remaining balance 0, yes\n",
		"10000000000000000 0 0 0: difference 10000000000000000, periods 0, monthly factor 1, "
		"growth 1, grown balance 1e+16, remaining balance 10000000000000000, no\n"};
	std::size_t at = 0;
	for (const std::string& line : lines) {
		EXPECT_EQ(explain.out.compare(at, line.size(), line), 0) << explain.out.substr(at);
		at = explain.out.find('\n', at) + 1;
	}
	EXPECT_EQ(at, explain.out.size());
	EXPECT_EQ(explain.status, 0);
}

TEST(Program, WriteErrorIsNeverSuccess)
{
	// Ended by the input (its last answer in the final flush), by the
	// terminating query, by bad input; --help.
	const char* const inputs[] = {"1 0 1 5\n", "1 0 1 5", "1 0 1 5\n0 0 0 0\n", "1 0 1 5\nx\n", ""};
	for (const char* input : inputs) {
		const Result r = run(input, *input ? Args{} : Args{"--help"}, nullptr, "/dev/full");
		EXPECT_EQ(r.err, "balance-check: write error: No space left on device\n") << input;
		EXPECT_EQ(r.status, 1) << input;
	}
}

// A reader that goes away ends the run at once and quietly, whether SIGPIPE
// kills it or is ignored and the write fails with EPIPE.
TEST(Program, ClosedPipeEndsQuietly)
{
	std::string big;
	for (int i = 0; i < 200000; ++i)
		big += "100 99 1 5\n";
	for (const bool ignore_sigpipe : {false, true}) {
		int p[2];
		ASSERT_EQ(pipe(p), 0);
		close(p[0]);
		const std::string in = temp_path("pipe_in"), err = temp_path("pipe_err");
		std::ofstream(in, std::ios::binary) << big;
		const pid_t pid = fork();
		if (pid == 0) {
			signal(SIGPIPE, ignore_sigpipe ? SIG_IGN : SIG_DFL);
			dup2(open(in.c_str(), O_RDONLY), 0);
			dup2(p[1], 1);
			dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
			exec_program();
		}
		close(p[1]);
		const int status = wait_status(pid);
		EXPECT_EQ(status, ignore_sigpipe ? 1 : 128 + SIGPIPE);
		EXPECT_EQ(slurp(err), "");
	}
}

// The program as a coprocess: we write its standard input through `in`
// and read its standard output through `out`, pipes that may be made
// non-blocking at both ends.
struct Coprocess {
	pid_t pid;
	int in, out;
};

Coprocess start_coprocess(bool nonblocking)
{
	int to[2], from[2];
	if (pipe(to) != 0 || pipe(from) != 0)
		std::abort();
	if (nonblocking)
		for (const int fd : {to[0], from[1], to[1], from[0]})
			fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
	const pid_t pid = fork();
	if (pid == 0) {
		dup2(to[0], 0);
		dup2(from[1], 1);
		close(to[1]);
		close(from[0]);
		exec_program();
	}
	close(to[0]);
	close(from[1]);
	return {pid, to[1], from[0]};
}

// Like a program talking to it over two pipes: each answer must arrive
// before the next query is sent, and the terminating query ends the run
// while standard input is still open.
TEST(Program, AnswersArriveAtOnce)
{
	const Coprocess c = start_coprocess(false);
	auto answer_to = [&](const std::string& query, int wait_ms = 5000) {
		EXPECT_EQ(write(c.in, query.data(), query.size()), static_cast<ssize_t>(query.size()));
		std::string got;
		pollfd pfd{c.out, POLLIN, 0};
		while (got.find('\n') == std::string::npos && poll(&pfd, 1, wait_ms) == 1) {
			char buf[64];
			const ssize_t n = read(c.out, buf, sizeof buf);
			if (n <= 0)
				break;
			got.append(buf, static_cast<std::size_t>(n));
		}
		return got;
	};
	EXPECT_EQ(answer_to("100 99 1 5\n"), "no\n");
	EXPECT_EQ(answer_to("100 100 10 7.5\n"), "yes\n");
	EXPECT_EQ(answer_to("5 1 0", 200), "");  // incomplete: nothing yet
	EXPECT_EQ(answer_to(" 12\n"), "no\n");
	EXPECT_EQ(write(c.in, "0 0 0 0\nrest\n", 13), 13);  // a pipe cannot take back "rest": no error
	EXPECT_EQ(wait_status(c.pid), 0);  // without stdin being closed
	close(c.in);
	close(c.out);
}

// Another process sharing the pipes may have made them non-blocking: the
// program waits for input and for room instead of failing, and loses
// nothing.  Input comes a few bytes at a time, so the program often finds
// none; the answers are not read until the input pipe stays full, so the
// output pipe fills first.
TEST(Program, NonBlockingStreamsLoseNothing)
{
	std::string input, want;
	for (int i = 0; i < 100000; ++i) {
		input += i % 2 ? "100 99 1 5\n" : "100 100 10 7.5\n";
		want += i % 2 ? "no\n" : "yes\n";
	}
	const Coprocess c = start_coprocess(true);
	signal(SIGPIPE, SIG_IGN);  // should the program fail, see it in its status
	std::string got;
	std::size_t sent = 0;
	bool reading = false;
	for (;;) {
		pollfd fds[2] = {{reading ? c.out : -1, POLLIN, 0},
		                 {sent < input.size() ? c.in : -1, POLLOUT, 0}};
		const int ready = poll(fds, 2, reading ? 10000 : 100);
		if (ready == 0 && !reading) {
			reading = true;
			continue;
		}
		ASSERT_GT(ready, 0);
		if (fds[1].revents != 0) {
			const ssize_t n = write(c.in, input.data() + sent,
			                        std::min<std::size_t>(input.size() - sent, 1 + sent % 4093));
			if (n > 0)
				sent += static_cast<std::size_t>(n);
			if (n < 0 && errno != EAGAIN)
				sent = input.size();
			if (sent == input.size())
				close(c.in);
		}
		if (fds[0].revents != 0) {
			char buf[4096];
			const ssize_t n = read(c.out, buf, sizeof buf);
			if (n == 0)
				break;
			if (n > 0)
				got.append(buf, static_cast<std::size_t>(n));
		}
	}
	close(c.out);
	signal(SIGPIPE, SIG_DFL);
	EXPECT_EQ(wait_status(c.pid), 0);
	EXPECT_EQ(got.size(), want.size());
	EXPECT_TRUE(got == want);
}

}  // namespace
