// The general path over the byte stream: the same queries however the input
// is split, and what strtoll and strtod take, nothing else; the errors and
// their texts.
#include <cctype>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "oracles/c_library_model.h"
#include "oracles/general_reading.h"

namespace {

TEST(GeneralPath, EveryWhiteSpaceByteSeparates)
{
	for (const char sep : {' ', '\t', '\n', '\v', '\f', '\r'}) {
		std::string s = "1 2 3 4.5";
		for (char& c : s)
			if (c == ' ')
				c = sep;
		const Outcome o = read_all(s + sep + sep + "-1" + sep + "0" + sep + "7" + sep + "1e2");
		EXPECT_EQ(o.last, ReadStatus::end);
		EXPECT_EQ(o.queries, read_all("1 2 3 4.5 -1 0 7 100").queries);
	}
}

TEST(GeneralPath, SameQueriesWhereverTheBlocksSplit)
{
	const Outcome whole = read_all(mixed_input);
	ASSERT_EQ(whole.last, ReadStatus::end);
	for (std::size_t cut = 0; cut <= mixed_input.size(); ++cut) {
		const Outcome o = read_all(mixed_input, {cut, mixed_input.size()});
		EXPECT_EQ(o.queries, whole.queries) << "split at " << cut;
		EXPECT_EQ(o.last, ReadStatus::end);
	}
	const Outcome bytewise = read_all(mixed_input, {1});
	EXPECT_EQ(bytewise.queries, whole.queries);
	// Without the final newline the last token ends at the end of input.
	const std::string unterminated = mixed_input.substr(0, mixed_input.size() - 1);
	EXPECT_EQ(read_all(unterminated, {1}).queries, whole.queries);
}

// The C library's reading (oracles/c_library_model.h) as read_all's text:
// the queries, then "error N" or "ends N" or "end".
std::string model(const std::string& input)
{
	const ModelOutcome m = c_library_model(input);
	std::string text;
	for (const BalanceQuery& q : m.queries)
		text += query_line(q);
	const std::string query = std::to_string(m.error_query);
	switch (m.error) {
	case InputError::none: return text + "end";
	case InputError::ends_inside_query: return text + "ends " + query;
	default: return text + "error " + query;
	}
}

std::string as_model(const Outcome& o)
{
	switch (o.last) {
	case ReadStatus::end: return o.queries + "end";
	case ReadStatus::error:
		return o.queries + (o.error == InputError::ends_inside_query ? "ends " : "error ") +
		       o.message.substr(6, o.message.find(':') - 6);
	default: return o.queries + "?";
	}
}

// Every byte that neighbours a digit, a point, a sign or an exponent mark in
// ASCII (and the same with the high bit set), put into and over everyday
// queries at every position, and every byte value into the first three: the
// fast paths must take or refuse exactly what strtoll and strtod take, and
// only the six white-space bytes separate.
TEST(GeneralPath, NearMissesAgreeWithTheCLibrary)
{
	const std::string lines[] = {"1234567 1234000 30 4.25\n", "12345678 1 22 12345678.1234567890\n",
	                             "-1 +2 0 .5e1\n", "5 0 1 0.000001\n", "1 2 3 12.5e+12\n",
	                             "+0001234567890\t-1234567890123456\r\n-30 -4.25\r\n"};
	const char near[] = {'/', ':', '-', '+', ',', '.', 'e', 'E', 'd', 'f', 'x', '0', '9', ' ',
	                     '\t', '\r', '\v', '\f', '\0', '\x7f', '\xb0', '\xb9', '\xae', '\xa0', '\xe5'};
	std::string every_byte(256, '\0');  // for the first lines, with and without marks
	for (std::size_t b = 0; b < every_byte.size(); ++b)
		every_byte[b] = static_cast<char>(b);
	for (const std::string& line : lines)
		for (std::size_t i = 0; i <= line.size(); ++i)
			for (const char c : &line < lines + 3 ? every_byte : std::string(near, sizeof near))
				for (const bool insert : {true, false}) {
					std::string input = line;
					if (insert)
						input.insert(i, 1, c);
					else if (i < line.size())
						input[i] = c;
					input += "7 8 9 10\n";
					ASSERT_EQ(as_model(read_all(input)), model(input)) << '"' << input << '"';
				}
}

TEST(GeneralPath, LongRunsAndLongTokens)
{
	const std::string blanks(3 * read_block_size + 17, ' ');
	const std::string zeros(numbers::max_token_length - 1, '0');
	const Outcome o = read_all(blanks + "1" + blanks + "2 3 4" + blanks, {4096});
	EXPECT_EQ(o.queries, read_all("1 2 3 4").queries);
	EXPECT_EQ(o.last, ReadStatus::end);

	// A token of exactly the limit is read, across any block boundary.
	for (const std::size_t piece : {std::size_t{1000}, read_block_size - 3, std::size_t{0}}) {
		const Outcome at_limit = read_all(zeros + "1 " + zeros + "2 3 " + zeros + "4", {piece});
		EXPECT_EQ(at_limit.queries, read_all("1 2 3 4").queries) << piece;
		const Outcome over = read_all("1 2 3 " + zeros + "04 5", {piece});
		EXPECT_EQ(over.error, InputError::too_long) << piece;
		EXPECT_EQ(over.message.rfind("query 1: token longer than 4096 bytes: \"0000", 0), 0u)
			<< over.message;
		// Rates only the whole-token conversion reads: with an exponent, in
		// hexadecimal, with a long fraction; n bytes each.
		for (const auto rate : {+[](std::size_t n) { return "1" + std::string(n - 7, '0') + "e-4088"; },
		                        +[](std::size_t n) { return "-0x" + std::string(n - 6, '0') + "1p4"; },
		                        +[](std::size_t n) { return "0." + std::string(n - 2, '3'); }}) {
			const std::string at = "1 2 3 " + rate(numbers::max_token_length) + "\n";
			EXPECT_EQ(as_model(read_all(at, {piece})), model(at)) << piece;
			const Outcome longer = read_all("1 2 3 " + rate(numbers::max_token_length + 1) + "\n", {piece});
			EXPECT_EQ(longer.error, InputError::too_long) << piece << ' ' << longer.message;
		}
	}
	// An endless token stops at the limit, long before the input ends.
	ChunkedInput endless{std::string(64 * read_block_size, '7'), {}};
	EXPECT_EQ(read_all(endless).error, InputError::too_long);
}

TEST(GeneralPath, BadInputIsReportedWithQueryAndText)
{
	struct Case {
		std::string input;
		std::string queries_before;
		InputError error;
		std::string message;
	};
	const Case cases[] = {
		{"1 2 3 4 5 6 x 8", "1 2 3 4", InputError::not_a_number,
		 "query 2: not a number: \"x\""},
		{"1 2 3 4 5 6 7", "1 2 3 4", InputError::ends_inside_query,
		 "query 2: input ends after 3 of its 4 numbers"},
		{"1.5 2 3 4", "", InputError::not_a_number, "query 1: not a number: \"1.5\""},
		{"1 2 3 5,5", "", InputError::not_a_number, "query 1: not a number: \"5,5\""},
		{"1 2 3 1e", "", InputError::not_a_number, "query 1: not a number: \"1e\""},
		{"1 2 3 \x01\"\\\xc3\xa9", "", InputError::not_a_number,
		 "query 1: not a number: \"\\x01\\\"\\\\\\xc3\\xa9\""},
		{std::string("1 2 3 4\0", 8), "", InputError::not_a_number,
		 "query 1: not a number: \"4\\x00\""},
		{"1 2 3 " + std::string(50, 'z'), "", InputError::not_a_number,
		 "query 1: not a number: \"" + std::string(40, 'z') + "\"..."},
		{"1 2 3 " + std::string(40, 'z'), "", InputError::not_a_number,
		 "query 1: not a number: \"" + std::string(40, 'z') + "\""},
		{"1 2 3 " + std::string(41, 'z'), "", InputError::not_a_number,
		 "query 1: not a number: \"" + std::string(40, 'z') + "\"..."},
		{"1 2 3 4 5 6 7 \x7f\x1f\x80~", "1 2 3 4", InputError::not_a_number,
		 "query 2: not a number: \"\\x7f\\x1f\\x80~\""},
	};
	for (const Case& c : cases) {
		const Outcome o = read_all(c.input, {3});
		EXPECT_EQ(o.last, ReadStatus::error) << c.input;
		EXPECT_EQ(o.error, c.error) << c.input;
		EXPECT_EQ(o.message, c.message);
		EXPECT_EQ(o.queries, c.queries_before.empty() ? "" : read_all(c.queries_before).queries);
	}
}

TEST(GeneralPath, ReadErrorEndsTheRun)
{
	ChunkedInput in{"1 2 3 4 5", {}};
	in.fail_with = EISDIR;
	const Outcome o = read_all(in);
	EXPECT_EQ(o.error, InputError::read_failed);
	EXPECT_EQ(o.message, "query 2: read error: Is a directory");
	EXPECT_EQ(o.queries, read_all("1 2 3 4").queries);
}

}  // namespace
