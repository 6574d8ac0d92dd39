// The whole filter over arbitrary bytes, fed in pieces of varying sizes and
// written out in pieces too: it must end (no hang), with status 0 or 1, and
// write nothing but whole "yes" and "no" lines (or, with --explain, lines
// that end in ", yes" or ", no").  Every kernel this machine runs gives
// the general path's answers, status and diagnostic.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "kernels/chosen.h"
#include "oracles/filter_harness.h"
#include "oracles/general_path.h"

namespace {

bool ends_with(const std::string& s, std::size_t end, const char* suffix, std::size_t n)
{
	return end >= n && s.compare(end - n, n, suffix) == 0;
}

void check(const std::string& text, bool explain)
{
	std::size_t start = 0;
	while (start < text.size()) {
		const std::size_t newline = text.find('\n', start);
		if (newline == std::string::npos)
			std::abort();  // a line without its end
		const std::string line = text.substr(start, newline - start);
		if (explain ? !(ends_with(text, newline, ", yes", 5) || ends_with(text, newline, ", no", 4))
		            : line != "yes" && line != "no")
			std::abort();
		start = newline + 1;
	}
}

// The filter over the input with the kernel called `kernel`, or with the
// widest when null, read and written in pieces drawn from the input.
FilterRun run(const std::string& input, bool explain, const char* kernel, std::string& text)
{
	ChunkedInput in{input, sizes_seeded_by(input)};
	Sink sink;
	sink.varying = static_cast<std::uint32_t>(in.sizes[0]);
	const FilterRun r = run_whole_filter(in, sink, explain, kernel);
	if (kernel != nullptr && (r.kernel == nullptr || std::strcmp(r.kernel, kernel) != 0))
		std::abort();  // a different kernel ran
	text = sink.text;
	return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
	const std::string input(reinterpret_cast<const char*>(data), size);
	std::string text;
	for (const bool explain : {false, true}) {
		const FilterRun r = run(input, explain, nullptr, text);
		if (r.status != exit_ok && r.status != exit_failure)
			std::abort();
		// Answers are at most one line per 7 input bytes ("0 0 0 1 ").
		if (!explain && text.size() > 4 * (size / 7 + 1))
			std::abort();
		check(text, explain);
	}
	const Answers want = general_path_answers(input);
	kernels::for_each_kernel_here([&](auto kernel) {
		const FilterRun r = run(input, false, decltype(kernel)::name, text);
		if (r.status != want.status || text != want.out || r.diagnostic != want.message || !r.guard_intact)
			std::abort();
	});
	return 0;
}
