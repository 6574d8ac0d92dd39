#include "quote.h"

namespace {

// The cut at `end` (text[end] exists), moved back to the first byte of the
// UTF-8 character it goes through: a lead byte at most 3 bytes back whose
// sequence reaches past the cut.  Continuation bytes without such a lead
// are no character, and are cut where they stand.
std::size_t character_boundary(const char* text, std::size_t end)
{
	auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
	if ((byte(end) & 0xc0) != 0x80)
		return end;
	for (std::size_t back = 1; back <= 3 && back <= end; ++back) {
		const unsigned char c = byte(end - back);
		if ((c & 0xc0) == 0x80)
			continue;
		const std::size_t bytes = c >= 0xf8 ? 1 : c >= 0xf0 ? 4 : c >= 0xe0 ? 3 : c >= 0xc0 ? 2 : 1;
		return bytes > back ? end - back : end;
	}
	return end;
}

}  // namespace

bool quote_text(const char* text, std::size_t length, std::size_t limit, char quote_mark, NonAscii non_ascii,
                char* out)
{
	static const char hex[] = "0123456789abcdef";
	const bool cut = length > limit;
	const std::size_t end = cut ? character_boundary(text, limit) : length;
	for (std::size_t i = 0; i < end; ++i) {
		const auto c = static_cast<unsigned char>(text[i]);
		if (c == static_cast<unsigned char>(quote_mark) || c == '\\') {
			*out++ = '\\';
			*out++ = static_cast<char>(c);
		} else if (c < 0x20 || c == 0x7f || (c > 0x7f && non_ascii == NonAscii::escape)) {
			*out++ = '\\';
			*out++ = 'x';
			*out++ = hex[c >> 4];
			*out++ = hex[c & 15];
		} else {
			*out++ = static_cast<char>(c);
		}
	}
	*out = '\0';
	return cut;
}
