// The reader under test: input handed out in pieces of chosen sizes, and
// every query read back as text by the general path.
#ifndef BALANCE_CHECK_TESTS_READER_HARNESS_H
#define BALANCE_CHECK_TESTS_READER_HARNESS_H

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "general_query.h"
#include "oracles/chunked_input.h"
#include "query_reader.h"

struct Outcome {
	std::string queries;  // one "dlh spl rok urok-bits" line per query
	ReadStatus last;
	InputError error;
	std::string message;
};

inline Outcome read_all(ChunkedInput in)
{
	auto r = std::make_unique<QueryReader>();
	reader_init(*r, read_chunk, &in);
	Outcome o{};
	for (;;) {
		BalanceQuery q;
		const ReadStatus s = next_query_general(*r, q);
		if (s == ReadStatus::need_input) {
			refill(*r);
			errno = 0;  // as later calls may leave it: a read error keeps its own
			continue;
		}
		if (s != ReadStatus::query) {
			o.last = s;
			o.error = r->error;
			char message[512];
			describe_error(*r, message, sizeof message);
			o.message = message;
			return o;
		}
		std::uint64_t bits;
		std::memcpy(&bits, &q.urok, sizeof bits);
		o.queries += std::to_string(q.dlh) + ' ' + std::to_string(q.spl) + ' ' +
		             std::to_string(q.rok) + ' ' + std::to_string(bits) + '\n';
	}
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
