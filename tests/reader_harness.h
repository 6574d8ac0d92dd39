// The reader under test: input handed out in pieces of chosen sizes, and
// every query read back as text by the general path.
#ifndef BALANCE_CHECK_TESTS_READER_HARNESS_H
#define BALANCE_CHECK_TESTS_READER_HARNESS_H

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "oracles/general_reading.h"

struct Outcome {
	std::string queries;  // one "dlh spl rok urok-bits" line per query
	ReadStatus last;
	InputError error;
	std::string message;
};

inline Outcome read_all(ChunkedInput in)
{
	Outcome o{};
	const GeneralReading r = read_generally(std::move(in), [&](const BalanceQuery& q) {
		std::uint64_t bits;
		std::memcpy(&bits, &q.urok, sizeof bits);
		o.queries += std::to_string(q.dlh) + ' ' + std::to_string(q.spl) + ' ' + std::to_string(q.rok) + ' ' +
		             std::to_string(bits) + '\n';
		return true;
	});
	o.last = r.last;
	o.error = r.error;
	o.message = r.message;
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
