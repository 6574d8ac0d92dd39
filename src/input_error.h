// Why the input could not be read, and the diagnostic that says so.
#ifndef BALANCE_CHECK_INPUT_ERROR_H
#define BALANCE_CHECK_INPUT_ERROR_H

#include <cstddef>
#include <cstdint>

enum class InputError { none, not_a_number, too_long, ends_inside_query, read_failed };

// What went wrong, where the general path or a read found it.
struct InputErrorDetails {
	InputError kind = InputError::none;
	int errno_value = 0;          // of a failed read
	const char* text = nullptr;   // the offending token, valid until the next refill
	std::size_t length = 0;
	int fields = 0;               // values of the query read before the input ended
};

// One line (no newline) saying what went wrong in the query numbered
// `query` (from 1), for the diagnostic.
std::size_t describe_error(const InputErrorDetails& e, std::uint64_t query, char* out, std::size_t size);

#endif
