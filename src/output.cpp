#include "output.h"

#include <cerrno>
#include <unistd.h>

void output_init(Output& o, int fd)
{
	o.fd = fd;
	o.length = 0;
	o.error = 0;
}

bool output_flush(Output& o)
{
	const char* p = o.buffer;
	std::size_t left = o.length;
	while (left > 0) {
		const ssize_t n = ::write(o.fd, p, left);
		if (n < 0) {
			if (errno == EINTR)
				continue;
			o.error = errno;
			return false;
		}
		p += n;
		left -= static_cast<std::size_t>(n);
	}
	o.length = 0;
	return true;
}
