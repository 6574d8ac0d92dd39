// The general path alone over a whole input handed out in pieces: the one
// loop that the tests and fuzzers read with, query by query, and its
// queries as text, to compare bit for bit.
#ifndef BALANCE_CHECK_ORACLES_GENERAL_READING_H
#define BALANCE_CHECK_ORACLES_GENERAL_READING_H

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

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

// A query as one line, "dlh spl rok urok-bits", so that -0 and NaN
// payloads compare too.
inline std::string query_line(const BalanceQuery& q)
{
	std::uint64_t bits;
	std::memcpy(&bits, &q.urok, sizeof bits);
	return std::to_string(q.dlh) + ' ' + std::to_string(q.spl) + ' ' + std::to_string(q.rok) + ' ' +
	       std::to_string(bits) + '\n';
}

struct Outcome : GeneralReading { std::string queries; };  // a query_line each

inline Outcome read_all(ChunkedInput in)
{
	Outcome o;
	static_cast<GeneralReading&>(o) = read_generally(std::move(in), [&](const BalanceQuery& q) {
		o.queries += query_line(q);
		return true;
	});
	return o;
}

inline Outcome read_all(const std::string& data, std::vector<std::size_t> sizes = {})
{
	return read_all(ChunkedInput{data, std::move(sizes)});
}

inline const std::string mixed_input =
	"100 99 1 5\n\n  100\t100\r\n10 7.5 -0 +12 0009223372036854775808 .5e-2\v"
	"1 2 3 0x1.8p1 4 5 6 nan(12) 7 8 9 -inf\f1 1 1 2.2250738585072014e-308 "
	"1 2 3 123456789012345678901234567890e-10 -9223372036854775809 0 0 4.\n";

#endif
