// Windows: the C runtime's _read and _write on descriptors 0, 1 and 2, all
// switched to binary mode, since text mode would end the input at a 0x1A
// byte and write every "\n" as "\r\n".  There is no SIGPIPE: a write to
// a closed pipe fails, and is reported as EPIPE (the C runtime says EINVAL)
// so that it ends the run quietly, as on POSIX with SIGPIPE ignored.  Console and pipe handles are never non-blocking for
// the C runtime, so there is nothing to wait on.
#include "platform/platform.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <climits>

namespace {

unsigned capped(std::size_t size)
{
	return size > INT_MAX ? INT_MAX : static_cast<unsigned>(size);
}

}  // namespace

void platform_init()
{
	(void)_setmode(0, _O_BINARY);
	(void)_setmode(1, _O_BINARY);
	(void)_setmode(2, _O_BINARY);
}

long read_standard_input(void*, char* buffer, std::size_t size)
{
	return _read(0, buffer, capped(size));
}

long write_standard_output(void*, const char* data, std::size_t size)
{
	const int n = _write(1, data, capped(size));
	if (n < 0) {
		const DWORD error = GetLastError();
		if (error == ERROR_NO_DATA || error == ERROR_BROKEN_PIPE || error == ERROR_PIPE_NOT_CONNECTED)
			errno = EPIPE;
	}
	return n;
}

void write_standard_error(const char* data, std::size_t size)
{
	(void)_write(2, data, capped(size));
}
