// White space as the C locale's isspace() sees it, without the locale: the
// only bytes that separate tokens.
#ifndef BALANCE_CHECK_WHITE_SPACE_H
#define BALANCE_CHECK_WHITE_SPACE_H

namespace numbers {

// space, \t, \n, \v, \f, \r
struct SpaceTable {
	bool space[256];
	constexpr SpaceTable() : space()
	{
		const char spaces[] = " \t\n\v\f\r";
		for (const char c : spaces)
			space[static_cast<unsigned char>(c)] = c != '\0';
	}
};
inline constexpr SpaceTable space_table;

inline bool is_space(char c)
{
	return space_table.space[static_cast<unsigned char>(c)];
}

// Stops at the first byte that is not white space; the NUL after the data
// is one.
inline const char* skip_space(const char* p)
{
	while (is_space(*p))
		++p;
	return p;
}

}  // namespace numbers

#endif
