// The --explain line: a query and every intermediate value by name.
#ifndef BALANCE_CHECK_EXPLAIN_H
#define BALANCE_CHECK_EXPLAIN_H

#include <cstddef>

#include "balance.h"

// Longest line format_explanation writes, newline included.
constexpr std::size_t max_explanation_length = 512;

// Writes the line, newline included, into out (max_explanation_length
// bytes); returns its length.
std::size_t format_explanation(const BalanceQuery& q, const Evaluation& e, char* out);

#endif
