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

#include "kernels/chosen.h"
#include "oracles/c_library_model.h"
#include "oracles/chunked_input.h"
#include "oracles/general_reading.h"

namespace {

bool same_bits(const BalanceQuery& a, const BalanceQuery& b)
{
	return std::memcmp(&a, &b, sizeof a) == 0;
}

ModelOutcome read_as_model(const std::string& input)
{
	ModelOutcome o;
	const GeneralReading r = read_generally(ChunkedInput{input, sizes_seeded_by(input)}, [&](const BalanceQuery& q) {
		o.queries.push_back(q);
		return true;
	});
	o.error = r.error;
	o.error_query = r.error_query;
	return o;
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
	const ModelOutcome got = read_as_model(input);
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
