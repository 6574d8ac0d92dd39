// The answers each road gave: stage 2, from a query's window in the
// class index, and the general path.  A file that runs slowly shows here
// which road took its queries (--debug).
#ifndef BALANCE_CHECK_ROAD_COUNTS_H
#define BALANCE_CHECK_ROAD_COUNTS_H

#include <cstdint>

struct RoadCounts {
	std::uint64_t window = 0;   // stage 2, a query read from its window of class bits
	std::uint64_t general = 0;  // the general path, a token at a time
};

#endif
