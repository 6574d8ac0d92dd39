#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "filter.h"
#include "query_reader.h"

namespace {

// Hands out the input in pieces of the given sizes (the last one repeats;
// 0 stands for 1, since a read of 0 bytes means the end).
struct ChunkedInput {
	std::string data;
	std::vector<std::size_t> sizes;
	std::size_t offset = 0;
	std::size_t reads = 0;
	int fail_with = 0;  // errno to fail with once the data is out
	bool interrupt = false;  // every other read fails with EINTR
	std::size_t calls = 0;
};

long read_chunk(void* context, char* buffer, std::size_t size)
{
	auto& in = *static_cast<ChunkedInput*>(context);
	if (in.interrupt && ++in.calls % 2 == 0) {
		errno = EINTR;
		return -1;
	}
	if (in.offset == in.data.size() && in.fail_with != 0) {
		errno = in.fail_with;
		return -1;
	}
	std::size_t n = in.sizes.empty() ? size : in.sizes[std::min(in.reads, in.sizes.size() - 1)];
	n = std::min({std::max(n, std::size_t{1}), size, in.data.size() - in.offset});
	std::memcpy(buffer, in.data.data() + in.offset, n);
	in.offset += n;
	++in.reads;
	return static_cast<long>(n);
}

struct Outcome {
	std::string queries;  // one "dlh spl rok urok-bits" line per query
	ReadStatus last;
	InputError error;
	std::string message;
};

// At the start of a query, the chosen window kernel and its portable twin
// take or leave the same text, with the same values.
void expect_kernels_agree(const char* pos)
{
	BalanceQuery chosen, generic;
	const char* end = read_plain_query(pos, chosen);
	EXPECT_EQ(read_plain_query_with<plain::generic::Kernel>(pos, generic), end);
	if (end != nullptr) {
		EXPECT_EQ(std::memcmp(&generic, &chosen, sizeof chosen), 0);
	}
}

Outcome read_all(ChunkedInput in)
{
	auto r = std::make_unique<QueryReader>();
	reader_init(*r, read_chunk, &in);
	Outcome o{};
	for (;;) {
		if (r->fields == 0)
			expect_kernels_agree(r->pos);
		BalanceQuery q;
		const ReadStatus s = next_query(*r, q);
		if (s == ReadStatus::need_input) {
			refill(*r);
			continue;
		}
		if (s != ReadStatus::query) {
			o.last = s;
			o.error = r->error;
			char message[512];
			describe_error(*r, message, sizeof message);
			o.message = message;
			return o;
		}
		std::uint64_t bits;
		std::memcpy(&bits, &q.urok, sizeof bits);
		o.queries += std::to_string(q.dlh) + ' ' + std::to_string(q.spl) + ' ' +
		             std::to_string(q.rok) + ' ' + std::to_string(bits) + '\n';
	}
}

Outcome read_all(const std::string& data, std::vector<std::size_t> sizes = {})
{
	return read_all(ChunkedInput{data, std::move(sizes)});
}

TEST(Reader, EveryWhiteSpaceByteSeparates)
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

const std::string mixed_input =
	"100 99 1 5\n\n  100\t100\r\n10 7.5 -0 +12 0009223372036854775808 .5e-2\v"
	"1 2 3 0x1.8p1 4 5 6 nan(12) 7 8 9 -inf\f1 1 1 2.2250738585072014e-308 "
	"1 2 3 123456789012345678901234567890e-10 -9223372036854775809 0 0 4.\n";

TEST(Reader, SameQueriesWhereverTheBlocksSplit)
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

// The plain path takes everyday queries in one go; the general path must
// give the same values for them, bit for bit, on the edges of the plain
// forms: 8 and 9 digits, 16 and 17, 19 and 20 (saturated), 2^53, signs, every
// white space.
TEST(Reader, PlainPathAgreesWithGeneralPath)
{
	std::mt19937_64 rng(4);
	auto digits = [&](std::uint64_t n) {
		std::string d;
		for (std::uint64_t i = 0; i < n; ++i)
			d += static_cast<char>('0' + rng() % 10);
		return d;
	};
	const char* fixed_rates[] = {"9007199254740992", "9007199254740993", "900719925474099.3",
	                             "9999999999999999999", "1234567890.123456789", "0.1234567890123456789",
	                             "12345678901234567.89", "00000000000000000001", "18446744073709551615",
	                             "5.", "0.5", "1234567.123456789012", "1.000000000000000000",
	                             "00.00", "7", "9007.199254740993", "0.9007199254740993",
	                             "90071992.54740993", "90071992.54740991", "1e22", "1e23", "1E-22",
	                             "1.e5", "9007199254740993e-22", "1.5E+3", "0e999", "0.0e-5", "1e0999",
	                             "123456789012345678.9e-5", "5e-324", "1.7976931348623157e308"};
	const char* fixed_integers[] = {"9223372036854775807", "9223372036854775808", "9999999999999999999",
	                                "0000000000000000001", "00000000000000000001"};
	const char* separators[] = {" ", " ", " ", "  ", "\t", " \r\n", "\n\n\n", "\v\f"};
	std::string input;
	auto sign = [&]() -> std::string { return rng() % 4 ? "" : rng() % 2 ? "-" : "+"; };
	for (int i = 0; i < 20000; ++i) {
		for (int field = 0; field < 3; ++field)
			input += sign() + (i % 10 == field + 1 ? fixed_integers[rng() % std::size(fixed_integers)]
			                                       : digits(1 + rng() % (rng() % 4 ? 10 : 21))) +
			         separators[rng() % 8];
		if (i % 10 == 0)
			input += sign() + fixed_rates[rng() % std::size(fixed_rates)];
		else
			input += sign() + digits(1 + rng() % (rng() % 4 ? 8 : 20)) + (rng() % 4 ? "." + digits(rng() % 20) : "") +
			         (rng() % 4 ? "" : (rng() % 2 ? "e" : "E") + sign() + digits(1 + rng() % 4));
		input += separators[rng() % 8];
	}
	// Each plain form is taken by the plain path itself, not only left to
	// the general one (which gives the same values, as below).
	struct Form {
		const char* text;
		bool taken;
	};
	for (const Form f : {Form{"1 2 3 4 ", true}, Form{"-1 +2 -3 +4.5\r\n", true},
	                     Form{"0001 2 3 .5e1 ", false}, Form{"1 2 3 4.5e-3 ", true},
	                     Form{"9223372036854775808 2 3 1234567890.123456789\t", true},
	                     Form{"1 2 3 1.E+22 ", true}, Form{"1 2 3 1e1234 ", false}}) {
		char padded[plain_front_padding + 128] = {};
		std::memcpy(padded + plain_front_padding, f.text, std::strlen(f.text));
		BalanceQuery q;
		EXPECT_EQ(read_plain_query(padded + plain_front_padding, q) != nullptr, f.taken) << f.text;
	}
	ChunkedInput in{input, {}};
	auto plain = std::make_unique<QueryReader>(), general = std::make_unique<QueryReader>();
	reader_init(*plain, read_chunk, &in);
	refill(*plain);
	ChunkedInput again{input, {}};
	reader_init(*general, read_chunk, &again);
	refill(*general);
	int queries = 0;
	for (;;) {
		if (plain->fields == 0)
			expect_kernels_agree(plain->pos);
		BalanceQuery a, b;
		const ReadStatus sa = next_query(*plain, a);
		const ReadStatus sb = next_query_general(*general, b);
		ASSERT_EQ(sa, sb);
		if (sa == ReadStatus::need_input) {
			refill(*plain);
			refill(*general);
			continue;
		}
		if (sa != ReadStatus::query)
			break;
		ASSERT_EQ(std::memcmp(&a, &b, sizeof a), 0) << a.dlh << ' ' << a.spl << ' ' << a.rok;
		++queries;
	}
	EXPECT_EQ(queries, 20000);
}

// The input format as the C library reads it: split on white space, each
// token whole by strtoll (three) and strtod (the rate).  Gives what
// read_all would: the queries, then "error N" or "ends N" or "end".
std::string model(const std::string& input)
{
	std::vector<std::string> tokens;
	std::string token;
	for (const char c : input + ' ') {
		if (std::isspace(static_cast<unsigned char>(c))) {
			if (!token.empty())
				tokens.push_back(token);
			token.clear();
		} else {
			token += c;
		}
	}
	std::string text;
	for (std::size_t i = 0; i < tokens.size(); i += 4) {
		const std::string query = std::to_string(i / 4 + 1);
		std::string line;
		for (std::size_t f = i; f < i + 4; ++f) {
			if (f == tokens.size())
				return text + "ends " + query;
			char* end = nullptr;
			const char* t = tokens[f].c_str();
			std::uint64_t bits;
			if (f - i < 3) {
				bits = static_cast<std::uint64_t>(std::strtoll(t, &end, 10));
			} else {
				const double v = std::strtod(t, &end);
				std::memcpy(&bits, &v, sizeof bits);
			}
			if (end != t + tokens[f].size())
				return text + "error " + query;
			line += (f - i < 3 ? std::to_string(static_cast<std::int64_t>(bits)) : std::to_string(bits)) +
			        (f - i < 3 ? ' ' : '\n');
		}
		text += line;
	}
	return text + "end";
}

std::string as_model(const Outcome& o)
{
	const std::string query = o.message.substr(0, o.message.find(':')).substr(6);
	switch (o.last) {
	case ReadStatus::end: return o.queries + "end";
	case ReadStatus::error:
		return o.queries + (o.error == InputError::ends_inside_query ? "ends " : "error ") + query;
	default: return o.queries + "?";
	}
}

// Every byte that neighbours a digit, a point, a sign or an exponent mark in
// ASCII (and the same with the high bit set), put into and over everyday
// queries at every position: the fast paths must take or refuse exactly
// what strtoll and strtod take.
TEST(Reader, NearMissesAgreeWithTheCLibrary)
{
	const std::string lines[] = {"1234567 1234000 30 4.25\n", "12345678 1 22 12345678.1234567890\n",
	                             "-1 +2 0 .5e1\n", "5 0 1 0.000001\n", "1 2 3 12.5e+12\n",
	                             "+0001234567890\t-1234567890123456\r\n-30 -4.25\r\n"};
	const char near[] = {'/', ':', '-', '+', ',', '.', 'e', 'E', 'd', 'f', 'x', '0', '9', ' ',
	                     '\t', '\r', '\v', '\f', '\0', '\x7f', '\xb0', '\xb9', '\xae', '\xa0', '\xe5'};
	for (const std::string& line : lines)
		for (std::size_t i = 0; i <= line.size(); ++i)
			for (const char c : near)
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

TEST(Reader, LongRunsAndLongTokens)
{
	const std::string blanks(3 * read_block_size + 17, ' ');
	const std::string zeros(max_token_length - 1, '0');
	const Outcome o = read_all(blanks + "1" + blanks + "2 3 4" + blanks, {4096});
	EXPECT_EQ(o.queries, read_all("1 2 3 4").queries);
	EXPECT_EQ(o.last, ReadStatus::end);

	// A token of exactly the limit is read, across any block boundary.
	for (const std::size_t piece : {std::size_t{1000}, read_block_size - 3, std::size_t{0}}) {
		const Outcome at_limit = read_all(zeros + "1 " + zeros + "2 3 " + zeros + "4", {piece});
		EXPECT_EQ(at_limit.queries, read_all("1 2 3 4").queries) << piece;
		const Outcome over = read_all("1 2 3 " + zeros + "04 5", {piece});
		EXPECT_EQ(over.error, InputError::too_long) << piece;
		EXPECT_EQ(over.message.rfind("query 1: number longer than 4096 bytes: \"0000", 0), 0u)
			<< over.message;
	}
	// An endless token stops at the limit, long before the input ends.
	ChunkedInput endless{std::string(64 * read_block_size, '7'), {}};
	EXPECT_EQ(read_all(endless).error, InputError::too_long);
}

TEST(Reader, BadInputIsReportedWithQueryAndText)
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

TEST(Reader, ReadErrorEndsTheRun)
{
	ChunkedInput in{"1 2 3 4 5", {}};
	in.fail_with = EISDIR;
	const Outcome o = read_all(in);
	EXPECT_EQ(o.error, InputError::read_failed);
	EXPECT_EQ(o.message, "query 2: read error: Is a directory");
	EXPECT_EQ(o.queries, read_all("1 2 3 4").queries);
}

// Output hook: takes at most `piece` bytes a call; every other call fails
// with EINTR when asked to.
struct Sink {
	std::string text;
	std::size_t piece;
	bool interrupt;
	std::size_t calls = 0;
	std::size_t largest = 0;  // the most asked of one call
};

long write_piece(void* context, const char* data, std::size_t size)
{
	auto& s = *static_cast<Sink*>(context);
	s.largest = std::max(s.largest, size);
	if (s.interrupt && ++s.calls % 2 == 0) {
		errno = EINTR;
		return -1;
	}
	const std::size_t n = std::min(size, s.piece);
	s.text.append(data, n);
	return static_cast<long>(n);
}

void no_diagnostic(const char*) {}

// Interrupted calls are retried and short reads and writes continued: the
// answers and the status are those of a plain run.
TEST(Filter, InterruptedAndPiecemealIOChangeNothing)
{
	// First the answer block fills to 3 bytes short of full (16 381 answers
	// of 4 bytes, three of 3, all from the first read), and a 4-byte answer
	// comes next.
	std::string input;
	for (int i = 0; i < 16381; ++i)
		input += "0 1 0 0\n";
	input += "1 0 0 0\n1 0 0 0\n1 0 0 0\n0 1 0 0\n";
	for (int i = 0; i < 3000; ++i)
		input += mixed_input;
	struct Case {
		std::vector<std::size_t> read_sizes;
		bool read_interrupt;
		std::size_t write_piece;
		bool write_interrupt;
	};
	const Case cases[] = {
		{{}, false, output_block_size, false},  // the plain run, first
		{{1}, false, output_block_size, false},
		{{}, true, output_block_size, false},
		{{7}, true, 1, false},
		{{}, false, 1, true},
		{{1}, true, 3, true},
	};
	std::string plain;
	for (const Case& c : cases) {
		ChunkedInput in{input + "0 0 0 0 junk", c.read_sizes};
		in.interrupt = c.read_interrupt;
		Sink sink{{}, c.write_piece, c.write_interrupt};
		auto r = std::make_unique<QueryReader>();
		struct Guarded {  // a write past the answer block lands in the guard
			Output out;
			char guard[output_block_size];
		};
		auto g = std::make_unique<Guarded>();
		std::memset(g->guard, 0x5a, sizeof g->guard);
		reader_init(*r, read_chunk, &in);
		output_init(g->out, write_piece, &sink);
		ASSERT_EQ(run_filter(*r, g->out, false, no_diagnostic), exit_ok);
		EXPECT_EQ(std::count(g->guard, g->guard + sizeof g->guard, '\x5a'),
		          static_cast<std::ptrdiff_t>(sizeof g->guard));
		if (plain.empty())
			plain = sink.text;
		EXPECT_EQ(sink.text, plain);
		EXPECT_LE(sink.largest, output_block_size);  // never more than the block holds
		if (c.read_interrupt) {
			EXPECT_GT(in.calls, 2u);  // the interruptions did happen
		}
	}
	EXPECT_EQ(plain.compare(16381 * 4, 13, "no\nno\nno\nyes\n"), 0);
}

}  // namespace
