// The command line, read as getopt_long reads it with GNU argument
// permutation: options anywhere, taken left to right, each long option
// whole or by a prefix that fits no other, so that --help or --version
// answers at once unless an error comes before it; operands (a word
// without a leading '-', a lone "-", anything after "--") are set aside
// and refused only when the options are all read.  There are no short
// options.  Every complaint is getopt_long's, with the argument quoted
// (quote.h).
#ifndef BALANCE_CHECK_COMMAND_LINE_H
#define BALANCE_CHECK_COMMAND_LINE_H

enum class Action {
	run,          // filter standard input
	print,        // --help or --version: `text` to standard output, exit_ok
	usage_error,  // `complaint` diagnosed, exit_usage
};

struct CommandLine {
	Action action = Action::run;
	bool explain = false;
	bool debug = false;
	const char* text = nullptr;  // of print
	char complaint[512] = "";    // of usage_error, without the program name
};

// What the arguments (argv[1] to argv[argc - 1]) ask for.
CommandLine read_command_line(int argc, const char* const* argv);

#endif
