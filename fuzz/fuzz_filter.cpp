// The whole filter over arbitrary bytes, fed in pieces of varying sizes and
// written out in pieces too: it must end (no hang), with status 0 or 1, and
// write nothing but whole "yes" and "no" lines (or, with --explain, lines
// that end in ", yes" or ", no").
#include <cstdint>
#include <cstdlib>
#include <string>

#include "chunked_source.h"
#include "filter.h"

namespace {

QueryReader reader;
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

void ignore(const char*) {}

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
	for (const bool explain : {false, true}) {
		ChunkedSource source = chunked_source(data, size);
		Sink sink{{}, source.state};
		reader_init(reader, read_chunked, &source);
		output_init(out, write_some, &sink);
		const int status = run_filter(reader, out, explain, ignore);
		if (status != exit_ok && status != exit_failure)
			std::abort();
		// Answers are at most one line per 7 input bytes ("0 0 0 1 ").
		if (!explain && sink.text.size() > 4 * (size / 7 + 1))
			std::abort();
		check(sink.text, explain);
	}
	return 0;
}
