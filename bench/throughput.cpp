// Throughput of balance-check against a scanf loop, a contest-style reader
// and the arithmetic alone, on one corpus, in interleaved rounds; then peak
// memory for 2 and 20 million queries streamed through a pipe.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "balance.h"
#include "corpus.h"
#include "general_query.h"
#include "input_buffer.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Run {
	double seconds;
	long max_rss_kib;
};

// Runs a program with stdin from fd_in (rewound) and stdout to out_path.
// posix_spawn rather than fork: forking this large process would add the
// copying of its page tables to every timing.
Run run_program(const char* path, int fd_in, const char* out_path, const char* arg = nullptr)
{
	lseek(fd_in, 0, SEEK_SET);
	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init(&actions);
	posix_spawn_file_actions_adddup2(&actions, fd_in, 0);
	posix_spawn_file_actions_addopen(&actions, 1, out_path, O_WRONLY | O_CREAT | O_TRUNC, 0600);
	char* const argv[] = {const_cast<char*>(path), const_cast<char*>(arg), nullptr};
	const auto start = Clock::now();
	pid_t pid;
	if (posix_spawn(&pid, path, &actions, nullptr, argv, environ) != 0) {
		std::fprintf(stderr, "throughput: cannot run %s\n", path);
		std::exit(1);
	}
	int status = 0;
	rusage usage{};
	wait4(pid, &status, 0, &usage);
	const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
	posix_spawn_file_actions_destroy(&actions);
	if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
		std::fprintf(stderr, "throughput: %s failed\n", path);
		std::exit(1);
	}
	return {seconds, usage.ru_maxrss};
}

// Streams n generated queries into balance-check through a pipe.
long streamed_max_rss(long n)
{
	int p[2];
	if (pipe(p) != 0)
		std::exit(1);
	const pid_t pid = fork();
	if (pid == 0) {
		dup2(p[0], 0);
		close(p[1]);
		dup2(open("/dev/null", O_WRONLY), 1);
		execl(BALANCE_CHECK_PATH, "balance-check", static_cast<char*>(nullptr));
		_exit(127);
	}
	close(p[0]);
	CorpusGenerator gen;
	std::vector<char> block(1 << 16);
	std::size_t used = 0;
	for (long i = 0; i < n; ++i) {
		used += static_cast<std::size_t>(gen.line(block.data() + used));
		if (block.size() - used < 160 || i + 1 == n) {
			if (write(p[1], block.data(), used) != static_cast<ssize_t>(used))
				std::exit(1);
			used = 0;
		}
	}
	close(p[1]);
	int status = 0;
	rusage usage{};
	wait4(pid, &status, 0, &usage);
	return usage.ru_maxrss;
}

long read_file(void* context, char* buffer, std::size_t size)
{
	return static_cast<long>(read(*static_cast<int*>(context), buffer, size));
}

// The program built with each narrower kernel as its widest
// (BALANCE_WIDEST_KERNEL), where this build made them: "name=path,...".
struct Program {
	std::string name, path;
};

std::vector<Program> capped_programs()
{
	std::vector<Program> programs;
	const std::string list = CAPPED_PROGRAMS;
	std::size_t at = 0;
	while (at < list.size()) {
		std::size_t comma = list.find(',', at);
		if (comma == std::string::npos)
			comma = list.size();
		const std::string item = list.substr(at, comma - at);
		const std::size_t equals = item.find('=');
		programs.push_back({item.substr(0, equals), item.substr(equals + 1)});
		at = comma + 1;
	}
	return programs;
}

std::vector<BalanceQuery> parse_all(int fd)
{
	lseek(fd, 0, SEEK_SET);
	auto r = std::make_unique<InputBuffer>();
	input_init(*r, read_file, &fd);
	PartialQuery partial;
	InputErrorDetails error;
	std::vector<BalanceQuery> queries;
	for (;;) {
		BalanceQuery q;
		const ReadStatus s = next_query_general(*r, partial, error, q);
		if (s == ReadStatus::need_input && refill(*r))
			continue;
		if (s == ReadStatus::need_input)
			return queries;
		else if (s == ReadStatus::query && !is_terminating(q))
			queries.push_back(q);
		else
			return queries;
	}
}

// The evaluation alone, as the filter runs it (with its short cuts), or with
// every query through pow.
double arithmetic_seconds(const std::vector<BalanceQuery>& queries, bool full)
{
	const auto start = Clock::now();
	std::size_t yes = 0;
	for (const BalanceQuery& q : queries)
		yes += (full ? evaluate_steps(q).verdict : evaluate(q)) == Verdict::yes;
	const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
	if (yes == queries.size() + 1)  // never true; keeps the loop from being dropped
		std::puts("");
	return seconds;
}

double median(std::vector<double> v)
{
	std::sort(v.begin(), v.end());
	return v[v.size() / 2];
}

bool same_file(const char* a, const char* b)
{
	const std::string cmd = std::string("cmp -s ") + a + " " + b;
	return std::system(cmd.c_str()) == 0;
}

// Writes n queries of one shape (and the terminating query) to a new
// temporary file; returns its descriptor and fills path.
int write_corpus(Shape shape, long n, std::string& path)
{
	char name[] = "/tmp/balance-corpus-XXXXXX";
	const int fd = mkstemp(name);
	path = name;
	CorpusGenerator gen;
	gen.shape = shape;
	std::string text;
	char line[160];
	for (long i = 0; i < n; ++i)
		text.append(line, static_cast<std::size_t>(gen.line(line)));
	text += "\n0 0 0 0\n";
	if (fd < 0 || write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
		std::exit(1);
	return fd;
}

// The same kind of queries written the ways real files write them, side by
// side, each timed as a whole process: balance-check with its widest kernel
// and with each narrower one, and on the same file `wc -l` and `cat` (the
// floors: reading the file and finding its lines) and the scanf loop.
// The evaluation alone over the pow-bound file is that file's floor.
int shape_table(long n, int rounds)
{
	const Shape shapes[] = {Shape::plain, Shape::crlf,  Shape::tabs, Shape::padded,
	                        Shape::signs, Shape::cents, Shape::pow,  Shape::columns,
	                        Shape::long_amounts, Shape::exponent};
	constexpr int count = sizeof shapes / sizeof shapes[0];
	std::vector<Program> programs = {{"widest", BALANCE_CHECK_PATH}};
	for (const Program& p : capped_programs())
		programs.push_back(p);
	programs.push_back({"wc -l", "/usr/bin/wc"});
	programs.push_back({"cat", "/bin/cat"});
	programs.push_back({"scanf", SCANF_BASELINE_PATH});
	const std::size_t kernels_end = programs.size() - 3;  // then the peers
	int fds[count];
	std::string paths[count];
	for (int i = 0; i < count; ++i) {
		fds[i] = write_corpus(shapes[i], n, paths[i]);
		const std::string want = paths[i] + ".want", got = paths[i] + ".got";
		run_program(SCANF_BASELINE_PATH, fds[i], want.c_str());
		for (std::size_t k = 0; k < kernels_end; ++k) {
			run_program(programs[k].path.c_str(), fds[i], got.c_str());
			if (!same_file(want.c_str(), got.c_str())) {
				std::fprintf(stderr, "throughput: %s and the scanf loop differ on shape %s\n",
				             programs[k].name.c_str(), shape_names[static_cast<int>(shapes[i])]);
				return 1;
			}
		}
		unlink(want.c_str());
		unlink(got.c_str());
	}
	const std::vector<BalanceQuery> pow_queries = parse_all(fds[6]);
	std::vector<double> t[count][16], pow_times;
	for (int r = 0; r < rounds; ++r) {
		for (int i = 0; i < count; ++i)
			for (std::size_t k = 0; k < programs.size(); ++k)
				t[i][k].push_back(run_program(programs[k].path.c_str(), fds[i], "/dev/null",
				                              programs[k].name == "wc -l" ? "-l" : nullptr)
				                      .seconds);
		pow_times.push_back(arithmetic_seconds(pow_queries, false));
	}
	const double per = 1e9 / static_cast<double>(n);
	std::printf("%ld queries a shape, median of %d interleaved rounds, each a whole process.\n"
	            "ns per query:\n  %-8s", n, rounds, "shape");
	for (const Program& p : programs)
		std::printf(" %8s", p.name.c_str());
	std::printf("\n");
	std::string ratios = "ratios: the widest kernel to wc -l, each kernel to the widest:\n";
	char line[256];
	int at = std::snprintf(line, sizeof line, "  %-8s %8s", "shape", "/ wc -l");
	for (std::size_t k = 1; k < kernels_end; ++k)
		at += std::snprintf(line + at, sizeof line - static_cast<std::size_t>(at), " %8s", programs[k].name.c_str());
	ratios += std::string(line) + "\n";
	for (int i = 0; i < count; ++i) {
		const char* name = shape_names[static_cast<int>(shapes[i])];
		std::printf("  %-8s", name);
		for (std::size_t k = 0; k < programs.size(); ++k)
			std::printf(" %8.1f", median(t[i][k]) * per);
		std::printf("\n");
		const double widest = median(t[i][0]);
		at = std::snprintf(line, sizeof line, "  %-8s %7.2fx", name, widest / median(t[i][kernels_end]));
		for (std::size_t k = 1; k < kernels_end; ++k)
			at += std::snprintf(line + at, sizeof line - static_cast<std::size_t>(at), " %7.2fx",
			                    median(t[i][k]) / widest);
		ratios += std::string(line) + "\n";
	}
	std::printf("%s", ratios.c_str());
	const double plain = median(t[0][0]), pow_alone = median(pow_times);
	std::printf("  floor of pow: the evaluation alone over its queries %.1f ns/query;\n"
	            "  pow is %.2fx plain + that\n",
	            pow_alone * per, median(t[6][0]) / (plain + pow_alone));
	for (int i = 0; i < count; ++i)
		unlink(paths[i].c_str());
	return 0;
}

}  // namespace

int main(int argc, char** argv)
{
	long n = 2000000;
	int rounds = 7;
	bool measure_memory = true;
	bool shapes = false;
	for (int i = 1; i < argc; ++i) {
		if (std::strcmp(argv[i], "--queries") == 0 && i + 1 < argc)
			n = std::atol(argv[++i]);
		else if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc)
			rounds = std::atoi(argv[++i]);
		else if (std::strcmp(argv[i], "--no-memory") == 0)
			measure_memory = false;
		else if (std::strcmp(argv[i], "--shapes") == 0)
			shapes = true;
		else {
			std::fprintf(stderr, "usage: throughput [--queries N] [--rounds R] [--no-memory] [--shapes]\n");
			return 2;
		}
	}
	if (n < 1 || rounds < 1)
		return 2;
	if (shapes)
		return shape_table(n, rounds);

	// Memory first, while this process is small: a forked child's peak
	// resident size counts the pages it shares with its parent.
	long rss_small = 0, rss_large = 0;
	if (measure_memory) {
		rss_small = streamed_max_rss(n);
		rss_large = streamed_max_rss(10 * n);
	}

	std::string corpus_path;
	const int fd = write_corpus(Shape::plain, n, corpus_path);
	std::printf("corpus: %ld queries, %.1f MB\n", n,
	            static_cast<double>(lseek(fd, 0, SEEK_END)) / 1e6);
	const std::vector<BalanceQuery> queries = parse_all(fd);

	// The same answers first, untimed; then every timed run writes to /dev/null.
	const std::string out_a = corpus_path + ".a", out_b = corpus_path + ".b";
	run_program(BALANCE_CHECK_PATH, fd, out_a.c_str());
	run_program(SCANF_BASELINE_PATH, fd, out_b.c_str());
	if (!same_file(out_a.c_str(), out_b.c_str())) {
		std::fprintf(stderr, "throughput: balance-check and the scanf loop disagree\n");
		return 1;
	}
	std::vector<double> a, b, c, d, e;
	for (int r = 0; r < rounds; ++r) {
		a.push_back(run_program(BALANCE_CHECK_PATH, fd, "/dev/null").seconds);
		b.push_back(run_program(SCANF_BASELINE_PATH, fd, "/dev/null").seconds);
		c.push_back(run_program(CONTEST_PEER_PATH, fd, "/dev/null").seconds);
		d.push_back(arithmetic_seconds(queries, false));
		e.push_back(arithmetic_seconds(queries, true));
	}

	const double ta = median(a), tb = median(b), tc = median(c), td = median(d), te = median(e);
	const double per = 1e9 / static_cast<double>(n);
	std::printf("median of %d interleaved rounds, ns per query:\n", rounds);
	std::printf("  (a) balance-check        %7.1f\n", ta * per);
	std::printf("  (b) scanf loop           %7.1f   %5.1fx (a)\n", tb * per, tb / ta);
	std::printf("  (c) getchar_unlocked     %7.1f   %5.1fx (a)\n", tc * per, tc / ta);
	std::printf("  (d) arithmetic alone     %7.1f   (a) is %.2fx this\n", td * per, ta / td);
	std::printf("      (every query through pow, no short cuts: %.1f)\n", te * per);

	if (measure_memory) {
		std::printf("peak resident memory of balance-check, queries streamed through a pipe:\n");
		std::printf("  %9ld queries: %ld KiB\n", n, rss_small);
		std::printf("  %9ld queries: %ld KiB\n", 10 * n, rss_large);
	}

	unlink(corpus_path.c_str());
	unlink(out_a.c_str());
	unlink(out_b.c_str());
	return 0;
}
