// The general path alone over a whole input handed out in pieces: the one
// loop that the tests and fuzzers read with, query by query.
#ifndef BALANCE_CHECK_ORACLES_GENERAL_READING_H
#define BALANCE_CHECK_ORACLES_GENERAL_READING_H

#include <cerrno>
#include <cstdint>
#include <memory>
#include <string>

#include "general_query.h"
#include "input_buffer.h"
#include "input_error.h"
#include "oracles/chunked_input.h"

struct GeneralReading {
	ReadStatus last = ReadStatus::end;  // end, error, or query where `each` stopped
	InputError error = InputError::none;
	std::uint64_t error_query = 0;  // from 1
	std::string message;            // the diagnostic of an error
};

// Reads every query of `in`, each handed to each(q), which returns false
// to stop there.
template <typename Each>
GeneralReading read_generally(ChunkedInput in, Each&& each)
{
	auto buffer = std::make_unique<InputBuffer>();
	input_init(*buffer, read_chunk, &in);
	PartialQuery partial;
	InputErrorDetails error;
	GeneralReading r;
	std::uint64_t number = 1;
	for (;;) {
		BalanceQuery q;
		r.last = next_query_general(*buffer, partial, error, q);
		if (r.last == ReadStatus::need_input) {
			if (!refill(*buffer)) {
				error = InputErrorDetails{InputError::read_failed, buffer->read_errno, nullptr, 0, partial.fields};
				r.last = ReadStatus::error;
			}
			errno = 0;  // as later calls may leave it: a read error keeps its own
		}
		if (r.last == ReadStatus::error) {
			r.error = error.kind;
			r.error_query = number;
			char message[512];
			describe_error(error, number, message, sizeof message);
			r.message = message;
			return r;
		}
		if (r.last == ReadStatus::end || (r.last == ReadStatus::query && !each(q)))
			return r;
		if (r.last == ReadStatus::query)
			++number;
	}
}

#endif
