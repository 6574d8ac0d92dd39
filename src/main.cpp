// balance-check: answer balance queries from standard input, one line each.
#include <cstdio>
#include <cstring>

#include "exit_status.h"
#include "filter.h"
#include "output.h"
#include "platform/platform.h"
#include "query_reader.h"

#ifndef BALANCE_CHECK_VERSION
#define BALANCE_CHECK_VERSION "unknown"
#endif

namespace {

const char usage_line[] = "Usage: balance-check [--explain | --help | --version]\n";

const char help_text[] =
	"Usage: balance-check [--explain]\n"
	"Answer balance queries read from standard input.\n"
	"\n"
	"Each query is four numbers: the amount owed, the amount deducted from it,\n"
	"the term in years and the annual rate in percent. The difference grows by\n"
	"monthly compounding over the term and is cut to a whole number; the answer\n"
	"is \"yes\" when nothing remains and \"no\" otherwise, one line per query.\n"
	"The query 0 0 0 0, or the end of input after a whole query, ends the run.\n"
	"\n"
	"  --explain  write each query with its intermediate values and answer\n"
	"  --help     display this help and exit\n"
	"  --version  output version information and exit\n"
	"\n"
	"Exit status: 0 when the run ends normally, 1 on bad input or a read or\n"
	"write error, 2 on a usage error.\n";

// All the state of a run; static so that its buffers need no stack.
QueryReader reader;
Output out;

void diagnose(const char* message)
{
	char line[512];
	const int n = std::snprintf(line, sizeof line, "balance-check: %s\n", message);
	if (n > 0)
		write_standard_error(line, static_cast<std::size_t>(n) < sizeof line
		                               ? static_cast<std::size_t>(n)
		                               : sizeof line - 1);
}

int print_and_exit(const char* text)
{
	if (output_put(out, text, std::strlen(text)) && output_flush(out))
		return exit_ok;
	return write_failed(out, diagnose);
}

}  // namespace

int main(int argc, char** argv)
{
	platform_init();
	output_init(out, write_standard_output, nullptr);
	const bool explain = argc == 2 && std::strcmp(argv[1], "--explain") == 0;
	if (argc == 1 || explain) {
		reader_init(reader, read_standard_input, nullptr);
		return run_filter(reader, out, explain, diagnose);
	}
	if (argc == 2 && std::strcmp(argv[1], "--help") == 0)
		return print_and_exit(help_text);
	if (argc == 2 && std::strcmp(argv[1], "--version") == 0)
		return print_and_exit("balance-check " BALANCE_CHECK_VERSION "\n");

	char message[160];
	(void)std::snprintf(message, sizeof message, "unrecognized argument '%.100s'", argv[1]);
	diagnose(message);
	write_standard_error(usage_line, sizeof usage_line - 1);
	return exit_usage;
}
