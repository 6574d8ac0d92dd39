// The options, their help, and getopt_long's reading of them.
#include "command_line.h"

#include <cstdio>
#include <cstring>

#include "quote.h"

#ifndef BALANCE_CHECK_VERSION
#define BALANCE_CHECK_VERSION "unknown"
#endif

namespace {

const char version_text[] =
	"balance-check " BALANCE_CHECK_VERSION "\n"
	"Copyright (C) 2026 balance-check developers.\n"
	"License MIT: <https://opensource.org/licenses/MIT>.\n"
	"This is free software: you are free to change and redistribute it.\n"
	"There is NO WARRANTY, to the extent permitted by law.\n";

const char help_text[] =
	"Usage: balance-check [--explain] [--debug]\n"
	"Answer balance queries read from standard input.\n"
	"\n"
	"Each query is four numbers: the amount owed, the amount deducted from it,\n"
	"the term in years and the annual rate in percent. The difference grows by\n"
	"monthly compounding over the term and is cut to a whole number; the answer\n"
	"is \"yes\" when nothing remains and \"no\" otherwise, one line per query.\n"
	"The query 0 0 0 0, or the end of input after a whole query, ends the run.\n"
	"\n"
	"  --explain  write each query with its intermediate values and answer\n"
	"  --debug    on standard error, name the kernel that classifies the input,\n"
	"             and at the end count the answers each road gave\n"
	"  --help     display this help and exit\n"
	"  --version  output version information and exit\n"
	"\n"
	"Exit status: 0 when the run ends normally, 1 on bad input or a read or\n"
	"write error, 2 on a usage error.\n";

// An argument as a complaint quotes it: whole, or its first 100 bytes cut
// on a character boundary and marked "..." after the quote, with control
// bytes escaped as in the input diagnostics.
struct QuotedArgument {
	char text[quoted_size(100)];
	const char* more;
};

QuotedArgument quoted(const char* arg)
{
	QuotedArgument q;
	q.more = quote_text(arg, std::strlen(arg), 100, '\'', NonAscii::keep, q.text) ? "..." : "";
	return q;
}

enum Option { option_debug, option_explain, option_help, option_version, no_option };
const char* const long_options[no_option] = {"debug", "explain", "help", "version"};

// The option that `arg` ("--name" or "--name=value") names, whole or by a
// prefix that fits no other option, as getopt_long takes it; or no_option, with
// getopt_long's complaint in `message`, which holds any (see quoted).
Option find_long_option(const char* arg, char* message, std::size_t size)
{
	const char* const name = arg + 2;
	const std::size_t length = std::strcspn(name, "=");
	Option found = no_option;
	int matches = 0;
	for (int i = 0; i < no_option; ++i) {
		if (std::strncmp(long_options[i], name, length) != 0)
			continue;
		if (long_options[i][length] == '\0') {  // the whole name wins over prefixes
			found = static_cast<Option>(i);
			matches = 1;
			break;
		}
		if (matches++ == 0)
			found = static_cast<Option>(i);
	}
	const QuotedArgument q = quoted(arg);
	if (matches == 0) {
		(void)std::snprintf(message, size, "unrecognized option '%s'%s", q.text, q.more);
		return no_option;
	}
	if (matches > 1) {
		int n = std::snprintf(message, size, "option '%s'%s is ambiguous; possibilities:", q.text, q.more);
		for (const char* option : long_options)
			if (std::strncmp(option, name, length) == 0 && n > 0 && static_cast<std::size_t>(n) < size)
				n += std::snprintf(message + n, size - static_cast<std::size_t>(n), " '--%s'", option);
		return no_option;
	}
	if (name[length] == '=') {
		(void)std::snprintf(message, size, "option '--%s' doesn't allow an argument",
		                    long_options[found]);
		return no_option;
	}
	return found;
}

CommandLine finish(CommandLine& line, Action action, const char* text = nullptr)
{
	line.action = action;
	line.text = text;
	return line;
}

}  // namespace

CommandLine read_command_line(int argc, const char* const* argv)
{
	CommandLine line;
	char* const message = line.complaint;
	const std::size_t size = sizeof line.complaint;
	bool options_ended = false;
	const char* operand = nullptr;  // the first
	for (int i = 1; i < argc; ++i) {
		const char* const arg = argv[i];
		if (options_ended || arg[0] != '-' || arg[1] == '\0') {
			if (operand == nullptr)
				operand = arg;
		} else if (arg[1] != '-') {
			// The option character, whole where it is a UTF-8 character.
			std::size_t length = 1;
			while (arg[1 + length] != '\0' && (static_cast<unsigned char>(arg[1 + length]) & 0xc0) == 0x80 &&
			       (static_cast<unsigned char>(arg[1]) & 0x80) != 0)
				++length;
			char option[quoted_size(8)];
			(void)quote_text(arg + 1, length, 8, '\'', NonAscii::keep, option);
			(void)std::snprintf(message, size, "invalid option -- '%s'", option);
			return finish(line, Action::usage_error);
		} else if (arg[2] == '\0') {
			options_ended = true;
		} else {
			switch (find_long_option(arg, message, size)) {
			case option_debug:
				line.debug = true;
				break;
			case option_explain:
				line.explain = true;
				break;
			case option_help:
				return finish(line, Action::print, help_text);
			case option_version:
				return finish(line, Action::print, version_text);
			case no_option:
				return finish(line, Action::usage_error);
			}
		}
	}
	if (operand != nullptr) {
		const QuotedArgument q = quoted(operand);
		(void)std::snprintf(message, size, "extra operand '%s'%s", q.text, q.more);
		return finish(line, Action::usage_error);
	}
	return line;
}
