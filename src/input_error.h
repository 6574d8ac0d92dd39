// Why the input could not be read, and the diagnostic that says so.
#ifndef BALANCE_CHECK_INPUT_ERROR_H
#define BALANCE_CHECK_INPUT_ERROR_H

#include <cstddef>

enum class InputError { none, not_a_number, too_long, ends_inside_query, read_failed };

struct QueryReader;

// One line (no newline) saying what went wrong, for the diagnostic.
std::size_t describe_error(const QueryReader& r, char* out, std::size_t size);

#endif
