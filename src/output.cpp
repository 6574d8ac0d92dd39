#include "output.h"

#include <cerrno>

void output_init(Output& o, WriteFunction write, void* context, CloseFunction close)
{
	o.write = write;
	o.close = close;
	o.context = context;
	o.length = 0;
	o.error = 0;
}

bool output_flush(Output& o)
{
	const char* p = o.buffer;
	std::size_t left = o.length;
	while (left > 0) {
		const long n = o.write(o.context, p, left);
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

bool output_close(Output& o)
{
	if (!output_flush(o))
		return false;
	// Once, and not retried on EINTR: the descriptor may be gone already.
	const CloseFunction close = o.close;
	o.close = nullptr;
	if (close != nullptr && close(o.context) != 0) {
		o.error = errno;
		return false;
	}
	return true;
}
