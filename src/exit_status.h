// The program's exit statuses.
#ifndef BALANCE_CHECK_EXIT_STATUS_H
#define BALANCE_CHECK_EXIT_STATUS_H

constexpr int exit_ok = 0;       // the terminating query, or the end of input after a whole query
constexpr int exit_failure = 1;  // bad input, a read error or a write error
constexpr int exit_usage = 2;    // a command line the program does not take

#endif
