// The reader against a plain model of the input format: split on C-locale
// white space, convert each token with strtoll / strtod.  Both must give the
// same queries, bit for bit, and fail at the same query in the same way.
// And stage 1: every kernel this machine runs classifies every block of
// the input, at every offset of a block, as the portable kernel does.
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "chunked_source.h"
#include "general_query.h"
#include "kernels/chosen.h"
#include "query_reader.h"

namespace {

struct Outcome {
	std::vector<BalanceQuery> queries;
	InputError error = InputError::none;
	std::uint64_t error_query = 0;
};

bool same_bits(const BalanceQuery& a, const BalanceQuery& b)
{
	return std::memcmp(&a, &b, sizeof a) == 0;
}

Outcome model(const std::uint8_t* data, std::size_t size)
{
	std::vector<std::string> tokens;
	std::string token;
	for (std::size_t i = 0; i <= size; ++i) {
		if (i == size || std::isspace(data[i])) {
			if (!token.empty())
				tokens.push_back(token);
			token.clear();
		} else {
			token += static_cast<char>(data[i]);
		}
	}
	Outcome o;
	std::size_t t = 0;
	for (std::uint64_t number = 1;; ++number) {
		if (t == tokens.size())
			return o;
		if (tokens.size() - t < 4) {
			// The reader meets the too-long or bad token before the end.
			for (std::size_t i = t; i < tokens.size(); ++i) {
				const std::string& s = tokens[i];
				char* end = nullptr;
				if (s.size() > max_token_length)
					o.error = InputError::too_long;
				else if ((std::strtoll(s.c_str(), &end, 10), end != s.c_str() + s.size()))
					o.error = InputError::not_a_number;
				if (o.error != InputError::none) {
					o.error_query = number;
					return o;
				}
			}
			o.error = InputError::ends_inside_query;
			o.error_query = number;
			return o;
		}
		BalanceQuery q{};
		for (int field = 0; field < 4; ++field) {
			const std::string& s = tokens[t++];
			char* end = nullptr;
			bool whole;
			if (field < 3) {
				const long long v = std::strtoll(s.c_str(), &end, 10);
				(field == 0 ? q.dlh : field == 1 ? q.spl : q.rok) = v;
				whole = end == s.c_str() + s.size();
			} else {
				q.urok = std::strtod(s.c_str(), &end);
				whole = end == s.c_str() + s.size();
			}
			if (s.size() > max_token_length || !whole) {
				o.error = s.size() > max_token_length ? InputError::too_long : InputError::not_a_number;
				o.error_query = number;
				return o;
			}
		}
		o.queries.push_back(q);
	}
}

QueryReader reader;

Outcome read_all(const std::uint8_t* data, std::size_t size)
{
	ChunkedSource source = chunked_source(data, size);
	reader_init(reader, read_chunked, &source);
	Outcome o;
	for (;;) {
		BalanceQuery q;
		switch (next_query_general(reader, q)) {
		case ReadStatus::query:
			o.queries.push_back(q);
			break;
		case ReadStatus::need_input:
			refill(reader);
			break;
		case ReadStatus::end:
			return o;
		case ReadStatus::error:
			o.error = reader.error;
			o.error_query = reader.query_number;
			return o;
		}
	}
}

bool same_classes(const kernels::Classes& a, const kernels::Classes& b)
{
	return a.digit == b.digit && a.point == b.point && a.space == b.space && a.sign == b.sign &&
	       a.letter == b.letter;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
	const Outcome expected = model(data, size);
	const Outcome got = read_all(data, size);
	if (got.queries.size() != expected.queries.size() || got.error != expected.error ||
	    got.error_query != expected.error_query)
		std::abort();
	for (std::size_t i = 0; i < got.queries.size(); ++i)
		if (!same_bits(got.queries[i], expected.queries[i]))
			std::abort();
	std::vector<char> text(size + kernels::block_bytes);
	if (size != 0)
		std::memcpy(text.data(), data, size);
	const std::size_t step = size % kernels::block_bytes + 1;  // offsets vary with the input
	kernels::for_each_kernel_here([&](auto kernel) {
		using K = decltype(kernel);
		for (std::size_t at = 0; at < size; at += step)
			if (!same_classes(K::classify(text.data() + at), kernels::swar::Kernel::classify(text.data() + at)))
				std::abort();
	});
	return 0;
}
