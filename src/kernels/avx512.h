// The window kernel in AVX-512 (F, BW, VL, VBMI, VBMI2): the byte classes
// of the whole window from one 64-byte vector, each class one compare into
// a mask register, which is already the window's bit mask.  Digit values
// come from the SSE2 kernel's ladder in AVX's encoding.  As with AVX2,
// every function is compiled for these instruction sets alone, and run()
// flattens the caller's loop into one such function.
//
// It also answers whole blocks of everyday queries at once (answer_block),
// converting only what the verdict needs.
#ifndef BALANCE_CHECK_KERNELS_AVX512_H
#define BALANCE_CHECK_KERNELS_AVX512_H

#include "target.h"

#if defined(BALANCE_CHECK_HAVE_AVX512)

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "kernels/kernel.h"
#include "kernels/sse2.h"
#include "kernels/x86_features.h"

#define BALANCE_CHECK_AVX512_TARGET \
	BALANCE_CHECK_TARGET("avx512f,avx512bw,avx512vl,avx512vbmi,avx512vbmi2,avx2,bmi,bmi2,lzcnt,popcnt")

namespace kernels {
namespace avx512 {

BALANCE_CHECK_AVX512_TARGET inline __m512i splat(char c)
{
	return _mm512_set1_epi8(c);
}

template <int bytes>
BALANCE_CHECK_AVX512_TARGET inline u64 cut(__mmask64 m)
{
	const u64 bits = _cvtmask64_u64(m);
	return bytes == window ? bits : bits & ((u64{1} << bytes) - 1);
}

// Bytes b with first <= b < first + n.
BALANCE_CHECK_AVX512_TARGET inline __mmask64 range(__m512i v, char first, char n)
{
	return _mm512_cmplt_epu8_mask(_mm512_sub_epi8(v, splat(first)), splat(n));
}

struct Kernel : sse2::Kernel {
	static constexpr const char name[] = "avx512";

	static bool runs_here() { return x86_features().avx512; }

	template <typename Body>
	BALANCE_CHECK_AVX512_TARGET BALANCE_CHECK_FLATTEN static auto run(Body&& body)
	{
		return body(Kernel{});
	}

	template <int bytes>
	BALANCE_CHECK_AVX512_TARGET static Classes classify(const char* p)
	{
		const __m512i v = _mm512_loadu_si512(p);
		const __mmask64 space = _kor_mask64(_mm512_cmpeq_epi8_mask(v, splat(' ')), range(v, '\t', 5));
		return Classes{cut<bytes>(range(v, '0', 10)), cut<bytes>(_mm512_cmpeq_epi8_mask(v, splat('.'))),
		               cut<bytes>(space), 0, 0};
	}

	template <int bytes>
	BALANCE_CHECK_AVX512_TARGET static u64 signs(const char* p)
	{
		const __m512i v = _mm512_loadu_si512(p);
		return cut<bytes>(_kor_mask64(_mm512_cmpeq_epi8_mask(v, splat('+')),
		                              _mm512_cmpeq_epi8_mask(v, splat('-'))));
	}

	static constexpr bool answers_blocks = true;

	// The amounts of field 0 or 1 of queries 0 to 3 as keys, query k in
	// lane k, given the start and end offsets of the tokens in order:
	// byte j of a key is the byte 16 - j before the token's end, or '0'
	// before its start.  Reversed in each word, so that the most
	// significant digit is highest and keys compare as numbers.
	BALANCE_CHECK_AVX512_TARGET static __m512i key(__m512i v, __m512i start_at, __m512i end_at, int field)
	{
		const __m512i byte = offsets();
		// Token 4k + field for each byte of lane k.
		const __m512i lane_token = _mm512_add_epi8(
			_mm512_srli_epi16(_mm512_and_si512(byte, splat(0x30)), 2), splat(static_cast<char>(field)));
		const __m512i back = _mm512_sub_epi8(_mm512_and_si512(byte, splat(15)), splat(16));
		const __m512i from = _mm512_add_epi8(gather(lane_token, end_at), back);
		const __mmask64 inside = _mm512_cmpge_epi8_mask(from, gather(lane_token, start_at));
		const __m512i text = _mm512_mask_permutexvar_epi8(splat('0'), inside, from, v);
		const __m512i reverse = _mm512_set_epi64(
			0x08090a0b0c0d0e0f, 0x0001020304050607, 0x08090a0b0c0d0e0f, 0x0001020304050607,
			0x08090a0b0c0d0e0f, 0x0001020304050607, 0x08090a0b0c0d0e0f, 0x0001020304050607);
		return _mm512_shuffle_epi8(text, reverse);
	}

	// Byte i of the result is byte index[i] of v.  The zero-masking form
	// with every byte kept: GCC 12 warns on the plain form's own header.
	BALANCE_CHECK_AVX512_TARGET static __m512i gather(__m512i index, __m512i v)
	{
		return _mm512_maskz_permutexvar_epi8(~__mmask64{0}, index, v);
	}

	// 0, 1, ... 63: each byte its own offset.
	BALANCE_CHECK_AVX512_TARGET static __m512i offsets()
	{
		return _mm512_set_epi8(63, 62, 61, 60, 59, 58, 57, 56, 55, 54, 53, 52, 51, 50, 49, 48, 47, 46,
		                       45, 44, 43, 42, 41, 40, 39, 38, 37, 36, 35, 34, 33, 32, 31, 30, 29, 28,
		                       27, 26, 25, 24, 23, 22, 21, 20, 19, 18, 17, 16, 15, 14, 13, 12, 11, 10,
		                       9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
	}

	// Up to four whole queries at p (a token's first byte) in the plainest
	// form: a term of digits, a rate of digits with at most one point, a
	// digit first and an optional exponent, amounts of digits, each with an
	// optional '+', the amounts at most 16 bytes with it, separated by white
	// space and followed by it, within the 64 bytes at p and before end.  For
	// those the term and the rate are 0 or more, so the verdict is
	// dlh <= spl: the amounts are compared as digit strings, right-aligned
	// in 16-byte keys padded with '0', and nothing is converted.  Stops
	// before the first query it does not take, and before one whose
	// amounts are both 0, which may be the terminating query.  Returns the
	// count taken; bit k of yes is query k's verdict, and `length` the
	// offset of the white space after the last rate.
	BALANCE_CHECK_AVX512_TARGET static int answer_block(const char* p, const char* end, unsigned& yes,
	                                                    int& length)
	{
		// The window's classes, as the one-query path sees them; the load is
		// the same for each, so the compiler makes it once.
		const __m512i v = _mm512_loadu_si512(p);
		const Classes c = classify<window>(p);
		const u64 space = c.space, digit = c.digit, point = c.point, sign = signs<window>(p);
		const u64 token = ~space;
		const u64 starts = token & ~(token << 1);
		const u64 ends = space & (token << 1);  // the white space after each token
		// A '+' first in a token and before a digit changes no value; the
		// digits then start one byte later.
		const u64 plus = _cvtmask64_u64(_mm512_cmpeq_epi8_mask(v, splat('+'))) & starts & (digit >> 1);
		const u64 digits_start = (starts & ~plus) | plus << 1;
		// Token t is field t % 4, the block starting at a query.
		constexpr u64 every4 = 0x1111111111111111u;
		const u64 s0 = _pdep_u64(every4, starts), s1 = _pdep_u64(every4 << 1, starts),
		          s2 = _pdep_u64(every4 << 2, starts), s3 = _pdep_u64(every4 << 3, starts);
		const u64 d0 = _pdep_u64(every4, digits_start), d1 = _pdep_u64(every4 << 1, digits_start),
		          d3 = _pdep_u64(every4 << 3, digits_start);
		const u64 e0 = _pdep_u64(every4, ends), e1 = _pdep_u64(every4 << 1, ends),
		          e2 = _pdep_u64(every4 << 2, ends), e3 = _pdep_u64(every4 << 3, ends);
		// The bytes of each field: every end lies above its own start, so
		// the difference sets exactly the runs between them (a last token
		// without its end runs to the top, beyond every whole query).
		const u64 amounts = (e0 - s0) | (e1 - s1), term = e2 - s2, rate = e3 - s3;
		const u64 rate_points = point & rate;
		// Adding a mark to its run clears the run from there up: a second
		// mark in the same run is then left standing, and the bytes after
		// the first are the ones cleared.
		const u64 second_point = rate_points & ~((rate + rate_points) ^ rate);
		// A rate's exponent changes no sign: a letter, an optional sign and
		// digits, after the point.  Any other byte after the letter is bad
		// already: a point, a second letter, a sign not right after it.
		const u64 letter = exponents<window>(p) & rate;
		const u64 cleared = (rate + letter) ^ rate;
		const u64 exponent = cleared & rate & ~letter;
		const u64 exponent_sign = letter << 1 & sign;
		u64 streak = token & (token << 1);
		streak &= streak << 2;
		streak &= streak << 4;
		streak &= streak << 8;                           // 16 token bytes ending here
		const u64 seventeenth = streak & (token << 16);  // an amount too long for its key
		const u64 after_letter = (letter << 1 & ~exponent_sign) | exponent_sign << 1;  // a digit
		const u64 bad = (token & ~(digit | point | plus | letter | exponent_sign)) |
		                (point & (amounts | term | exponent)) | (d3 & ~digit) | second_point |
		                (letter & ~cleared) | (after_letter & ~digit) |
		                (amounts & seventeenth);
		const u64 before_bad = bad == 0 ? ~u64{0} : (u64{1} << _tzcnt_u64(bad)) - 1;
		// A run of '0' bytes from a token's start carries into its end when
		// it is the whole token: bit k says query k owes and deducts 0.
		const u64 zeros = _cvtmask64_u64(_mm512_cmpeq_epi8_mask(v, splat('0')));
		const u64 both_zero = _pext_u64(((zeros & amounts) + d0) & e0, e0) &
		                      _pext_u64(((zeros & amounts) + d1) & e1, e1);
		// Up to four whole queries by their ends alone: the next block's
		// start waits on these few steps only.  The checks decide whether
		// all are taken, as in everyday input they are: the branch on them
		// is predicted, and the next block does not wait for them.
		const u64 nominal = _pdep_u64(0xf, e3);
		const u64 before_zero =
			both_zero == 0 ? ~u64{0} : _pdep_u64((u64{1} << _tzcnt_u64(both_zero)) - 1, e3);
		const u64 whole = nominal & before_bad & before_zero;
		int n;
		if (whole == nominal && nominal != 0) {
			n = static_cast<int>(_mm_popcnt_u64(nominal));
			length = static_cast<int>(63 - _lzcnt_u64(nominal));
		} else {
			// Fewer: those before the first bad byte (the NUL at end is
			// one) and before one whose amounts are both 0.
			__asm__ volatile("");  // a branch of its own, not a select
			if (whole == 0 || static_cast<std::size_t>(end - p) <= static_cast<std::size_t>(_tzcnt_u64(whole)))
				return 0;
			n = static_cast<int>(_mm_popcnt_u64(whole));
			length = static_cast<int>(63 - _lzcnt_u64(whole));
		}

		// The amounts right-aligned in 16-byte keys, query k in lane k.
		const __m512i start_at = _mm512_maskz_compress_epi8(digits_start, offsets());
		const __m512i end_at = _mm512_maskz_compress_epi8(ends, offsets());
		const __m512i owed = key(v, start_at, end_at, 0), deducted = key(v, start_at, end_at, 1);
		// Word 2k is the upper half of lane k's key, word 2k + 1 the lower.
		const unsigned less = _mm512_cmplt_epu64_mask(owed, deducted);
		const unsigned equal = _mm512_cmpeq_epu64_mask(owed, deducted);
		const unsigned at_most = less | (equal & ((less | equal) >> 1));
		yes = static_cast<unsigned>(_pext_u32(at_most, 0x55));
		return n;
	}

	template <int bytes>
	BALANCE_CHECK_AVX512_TARGET static u64 exponents(const char* p)
	{
		const __m512i v = _mm512_or_si512(_mm512_loadu_si512(p), splat(0x20));
		return cut<bytes>(_mm512_cmpeq_epi8_mask(v, splat('e')));
	}
};

}  // namespace avx512
}  // namespace kernels

#endif
#endif
