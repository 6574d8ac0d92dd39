// The whole filter over arbitrary bytes, fed in pieces of varying sizes and
// written out in pieces too: it must end (no hang), with status 0 or 1, and
// write nothing but whole "yes" and "no" lines (or, with --explain, lines
// that end in ", yes" or ", no").  Every kernel this machine runs gives
// the general path's answers, status and diagnostic.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "filter.h"
#include "kernels/chosen.h"
#include "oracles/chunked_input.h"
#include "oracles/general_path.h"

namespace {

InputBuffer reader;
Output out;

struct Sink {
	std::string text;
	std::uint32_t state;
};

long write_some(void* context, const char* data, std::size_t size)
{
	auto& s = *static_cast<Sink*>(context);
	s.state = s.state * 1664525u + 1013904223u;
	const std::size_t n = size < 1 + (s.state >> 24) ? size : 1 + (s.state >> 24);  // partial writes
	s.text.append(data, n);
	return static_cast<long>(n);
}

std::string diagnostic;
void keep(const char* message)
{
	diagnostic = message;
}

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

struct Run {
	int status;
	std::string text, diagnostic;
};

// The filter over the input with the kernel called `kernel`, or with the
// widest when null.
Run run(const std::string& input, bool explain, const char* kernel)
{
	ChunkedInput in{input, sizes_seeded_by(input)};
	Sink sink{{}, static_cast<std::uint32_t>(in.sizes[0])};
	input_init(reader, read_chunk, &in);
	output_init(out, write_some, &sink);
	diagnostic.clear();
	Run r{-1, {}, {}};
	if (kernel == nullptr)
		r.status = run_filter(reader, out, explain, keep);
	else if (const char* ran = run_filter_with_kernel(kernel, r.status, reader, out, explain, keep);
	         ran == nullptr || std::strcmp(ran, kernel) != 0)
		std::abort();  // a different kernel ran
	r.text = sink.text;
	r.diagnostic = diagnostic;
	return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
	const std::string input(reinterpret_cast<const char*>(data), size);
	for (const bool explain : {false, true}) {
		const Run r = run(input, explain, nullptr);
		if (r.status != exit_ok && r.status != exit_failure)
			std::abort();
		// Answers are at most one line per 7 input bytes ("0 0 0 1 ").
		if (!explain && r.text.size() > 4 * (size / 7 + 1))
			std::abort();
		check(r.text, explain);
	}
	const Answers want = general_path_answers(input);
	kernels::for_each_kernel_here([&](auto kernel) {
		const Run r = run(input, false, decltype(kernel)::name);
		if (r.status != want.status || r.text != want.out || r.diagnostic != want.message)
			std::abort();
	});
	return 0;
}
