// What the filter needs of the operating system: standard streams that
// carry bytes unchanged, and raw reads and writes on them.  One source
// file per platform family implements it; the rest of the program is plain
// standard C++.
#ifndef BALANCE_CHECK_PLATFORM_H
#define BALANCE_CHECK_PLATFORM_H

#include <cstddef>

namespace platform {

// Sets up the standard streams; call before the first read or write.
void init();

// A ReadFunction and a WriteFunction (see input_buffer.h and output.h) for
// standard input and output.  A stream that another process has made
// non-blocking is waited on, so they never fail for want of data or room.
long read_standard_input(void* context, char* buffer, std::size_t size);
long write_standard_output(void* context, const char* data, std::size_t size);

// A GiveBackFunction (filter.h) for standard input: moves the offset of a
// seekable input back over the bytes read but not processed, so that the
// next reader of the file starts there, as POSIX asks of a utility that
// stops before the end.  A pipe or terminal cannot take bytes back and is
// left as it is.
void give_back_standard_input(void* context, std::size_t unread);

// A CloseFunction (output.h) for standard output.  A stream that was never
// open is no error: nothing was written to it, or a write failed first.
int close_standard_output(void* context);

// One diagnostic line to standard error, best effort.
void write_standard_error(const char* data, std::size_t size);

}  // namespace platform

#endif
