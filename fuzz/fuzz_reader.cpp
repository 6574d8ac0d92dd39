// The reader against a plain model of the input format: split on C-locale
// white space, convert each token with strtoll / strtod.  Both must give the
// same queries, bit for bit, and fail at the same query in the same way.
// And stage 1: every kernel this machine runs classifies every block of
// the input, at every offset of a block, as the portable kernel does.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "general_query.h"
#include "kernels/chosen.h"
#include "oracles/c_library_model.h"
#include "oracles/chunked_input.h"
#include "query_reader.h"

namespace {

bool same_bits(const BalanceQuery& a, const BalanceQuery& b)
{
	return std::memcmp(&a, &b, sizeof a) == 0;
}

QueryReader reader;

ModelOutcome read_all(const std::string& input)
{
	ChunkedInput in{input, sizes_seeded_by(input)};
	reader_init(reader, read_chunk, &in);
	ModelOutcome o;
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
	return a.digit == b.digit && a.space == b.space;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
	const std::string input(reinterpret_cast<const char*>(data), size);
	const ModelOutcome expected = c_library_model(input);
	const ModelOutcome got = read_all(input);
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
