// balance-check: answer balance queries from standard input, one line each.
#include <cstdio>
#include <cstring>

#include "command_line.h"
#include "exit_status.h"
#include "filter.h"
#include "input_buffer.h"
#include "output.h"
#include "platform/platform.h"

namespace {

// All the state of a run; static so that its buffers need no stack.
InputBuffer input;
Output out;

void diagnose(const char* message)
{
	char line[640];
	const int n = std::snprintf(line, sizeof line, "balance-check: %s\n", message);
	if (n > 0)
		platform::write_standard_error(line, static_cast<std::size_t>(n) < sizeof line
		                               ? static_cast<std::size_t>(n)
		                               : sizeof line - 1);
}

// --help and --version: the text on standard output, and the status.
int print_text(const char* text)
{
	if (output_put(out, text, std::strlen(text)) && output_close(out))
		return exit_ok;
	return write_failed(out, diagnose);
}

int usage_error(const char* message)
{
	static const char try_help[] = "Try 'balance-check --help' for more information.\n";
	diagnose(message);
	platform::write_standard_error(try_help, sizeof try_help - 1);
	return exit_usage;
}

}  // namespace

// The road of one query: the command line (command_line.h), the streams
// (platform/), then the filter (filter.h) until the run ends.
int main(int argc, char** argv)
{
	platform::init();
	output_init(out, platform::write_standard_output, nullptr, platform::close_standard_output);
	const CommandLine line = read_command_line(argc, argv);
	if (line.action == Action::print)
		return print_text(line.text);
	if (line.action == Action::usage_error)
		return usage_error(line.complaint);
	RunHooks hooks;
	hooks.debug = line.debug;
	hooks.give_back = platform::give_back_standard_input;
	input_init(input, platform::read_standard_input, nullptr);
	return run_filter(input, out, line.explain, diagnose, hooks);
}
