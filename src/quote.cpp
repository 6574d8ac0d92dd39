#include "quote.h"

bool quote_text(const char* text, std::size_t length, std::size_t limit, char quote_mark, bool keep_utf8,
                char* out)
{
	static const char hex[] = "0123456789abcdef";
	const bool cut = length > limit;
	std::size_t end = cut ? limit : length;
	// Never half a character: back to the first byte of the one cut through.
	if (keep_utf8 && cut)
		while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xc0) == 0x80)
			--end;
	for (std::size_t i = 0; i < end; ++i) {
		const auto c = static_cast<unsigned char>(text[i]);
		if (c == static_cast<unsigned char>(quote_mark) || c == '\\') {
			*out++ = '\\';
			*out++ = static_cast<char>(c);
		} else if (c < 0x20 || c == 0x7f || (c > 0x7f && !keep_utf8)) {
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
