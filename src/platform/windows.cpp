// Windows: standard input through the C runtime's _read, switched to binary
// mode, since text mode would end the input at a 0x1A byte and drop "\r".
// Output goes to WriteFile on the stream's own handle, not to _write:
// _write counts a short write as a failure and sets errno from whatever
// GetLastError() held before.  Wine's WriteFile to a pipe whose reader
// leaves mid-write succeeds short without setting an error, so _write gave
// EINVAL and a "write error" for what is only a closed pipe.  WriteFile's
// own count has write(2)'s meaning: the rest goes in the next call, which
// then fails with the real error.
//
// There is no SIGPIPE: a write to a closed pipe fails, and is reported as
// EPIPE so that it ends the run quietly, as on POSIX with SIGPIPE ignored.
// Console and pipe handles are not made non-blocking by the C runtime;
// if another process made one so, a write that takes 0 bytes is retried.
#include "platform/platform.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <climits>
#include <cstdint>

namespace platform {

namespace {

unsigned capped(std::size_t size)
{
	return size > INT_MAX ? INT_MAX : static_cast<unsigned>(size);
}

// The errno for a failed WriteFile, as strerror should name it.
int errno_for(DWORD error)
{
	switch (error) {
	case ERROR_NO_DATA:             // Windows: the reader has closed the pipe
	case ERROR_BROKEN_PIPE:
	case ERROR_PIPE_NOT_CONNECTED:  // Wine: the same
		return EPIPE;
	case ERROR_DISK_FULL:
	case ERROR_HANDLE_DISK_FULL:
		return ENOSPC;
	case ERROR_INVALID_HANDLE:
	case ERROR_ACCESS_DENIED:
		return EBADF;
	default:
		return EIO;
	}
}

// Like write(2) on descriptor fd: bytes taken, or -1 with errno set.
long write_descriptor(int fd, const char* data, std::size_t size)
{
	const std::intptr_t handle = _get_osfhandle(fd);
	if (handle == -1 || handle == -2) {  // -2: no stream there at start-up
		errno = EBADF;
		return -1;
	}
	DWORD written = 0;
	if (!WriteFile(reinterpret_cast<HANDLE>(handle), data, capped(size), &written, nullptr)) {
		errno = errno_for(GetLastError());
		return -1;
	}
	return static_cast<long>(written);
}

}  // namespace

void init()
{
	(void)_setmode(0, _O_BINARY);
}

long read_standard_input(void*, char* buffer, std::size_t size)
{
	return _read(0, buffer, capped(size));
}

long write_standard_output(void*, const char* data, std::size_t size)
{
	return write_descriptor(1, data, size);
}

void give_back_standard_input(void*, std::size_t unread)
{
	// Only a disk file: on a pipe or console SetFilePointerEx's result is
	// undefined.  _read in binary mode keeps nothing of a disk file, so
	// the handle's pointer is just past the last byte read.
	const std::intptr_t handle = _get_osfhandle(0);
	if (unread == 0 || handle == -1 || handle == -2)
		return;
	const auto file = reinterpret_cast<HANDLE>(handle);
	LARGE_INTEGER move;
	move.QuadPart = -static_cast<LONGLONG>(unread);
	if (GetFileType(file) == FILE_TYPE_DISK)
		(void)SetFilePointerEx(file, move, nullptr, FILE_CURRENT);
}

int close_standard_output(void*)
{
	const std::intptr_t handle = _get_osfhandle(1);
	if (handle == -1 || handle == -2)  // never open (-2 is no handle to close)
		return 0;
	return _close(1);  // the C runtime's own, which knows when stderr shares the handle
}

void write_standard_error(const char* data, std::size_t size)
{
	(void)write_descriptor(2, data, size);
}

}  // namespace platform
