// The input format as the C library reads it, for the tests and the
// fuzzers: split on C-locale white space, each token whole by strtoll (the
// first three of a query) and strtod (the rate), and at most
// numbers::max_token_length bytes.  Gives the queries and where and how reading
// fails, as the reader must.
#ifndef BALANCE_CHECK_ORACLES_C_LIBRARY_MODEL_H
#define BALANCE_CHECK_ORACLES_C_LIBRARY_MODEL_H

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "balance.h"
#include "input_error.h"
#include "numbers/whole_token.h"

struct ModelOutcome {
	std::vector<BalanceQuery> queries;
	InputError error = InputError::none;
	std::uint64_t error_query = 0;  // from 1
};

inline ModelOutcome c_library_model(const std::string& input)
{
	std::vector<std::string> tokens;
	std::string token;
	for (const char c : input + ' ') {
		if (std::isspace(static_cast<unsigned char>(c))) {
			if (!token.empty())
				tokens.push_back(token);
			token.clear();
		} else {
			token += c;
		}
	}
	ModelOutcome o;
	// A token as the reader judges it: too long before not a number.
	auto judge = [](const std::string& s, bool whole) {
		return s.size() > numbers::max_token_length ? InputError::too_long
		       : whole                     ? InputError::none
		                                   : InputError::not_a_number;
	};
	std::size_t t = 0;
	for (std::uint64_t number = 1; t < tokens.size(); ++number) {
		BalanceQuery q{};
		for (int field = 0; field < 4; ++field, ++t) {
			if (t == tokens.size()) {
				o.error = InputError::ends_inside_query;
				o.error_query = number;
				return o;
			}
			const std::string& s = tokens[t];
			char* end = nullptr;
			if (field < 3)
				(field == 0 ? q.dlh : field == 1 ? q.spl : q.rok) = std::strtoll(s.c_str(), &end, 10);
			else
				q.urok = std::strtod(s.c_str(), &end);
			o.error = judge(s, end == s.c_str() + s.size());
			if (o.error != InputError::none) {
				o.error_query = number;
				return o;
			}
		}
		o.queries.push_back(q);
	}
	return o;
}

#endif
