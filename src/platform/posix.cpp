// POSIX: read(2) and write(2) on file descriptors 0, 1 and 2.  SIGPIPE
// keeps whatever disposition the caller gave it: by default a closed pipe
// ends the run at once and quietly, as for any filter.
#include "platform/platform.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

namespace {

bool would_block(long n)
{
	return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
}

// Waits until fd is ready; false (errno set) if that cannot be known.
bool wait_for(int fd, short events)
{
	pollfd p{fd, events, 0};
	int n;
	do
		n = ::poll(&p, 1, -1);
	while (n < 0 && errno == EINTR);
	return n > 0;
}

}  // namespace

void init() {}

long read_standard_input(void*, char* buffer, std::size_t size)
{
	for (;;) {
		const long n = static_cast<long>(::read(STDIN_FILENO, buffer, size));
		if (!would_block(n) || !wait_for(STDIN_FILENO, POLLIN))
			return n;
	}
}

long write_standard_output(void*, const char* data, std::size_t size)
{
	for (;;) {
		const long n = static_cast<long>(::write(STDOUT_FILENO, data, size));
		if (!would_block(n) || !wait_for(STDOUT_FILENO, POLLOUT))
			return n;
	}
}

void give_back_standard_input(void*, std::size_t unread)
{
	// Relative to the offset, which is just past the last byte read; a
	// pipe or terminal fails with ESPIPE, and nothing is lost by that.
	if (unread > 0)
		(void)::lseek(STDIN_FILENO, -static_cast<off_t>(unread), SEEK_CUR);
}

int close_standard_output(void*)
{
	return ::close(STDOUT_FILENO) != 0 && errno != EBADF ? -1 : 0;
}

void write_standard_error(const char* data, std::size_t size)
{
	(void)!::write(STDERR_FILENO, data, size);
}

}  // namespace platform
