// The input buffer: one block read at a time between the paddings that
// the kernels, scanners and keys may read, with the unfinished token kept
// across refills.
#include "input_buffer.h"

#include <cerrno>
#include <cstring>

void input_init(InputBuffer& in, ReadFunction read, void* context)
{
	in.read = read;
	in.context = context;
	std::memset(in.storage, 0, sizeof in.storage);  // padding is read, so defined
	in.pos = in.end = in.data();
	in.eof = false;
	in.read_errno = 0;
}

bool refill(InputBuffer& in)
{
	const auto kept = static_cast<std::size_t>(in.end - in.pos);
	char* const data = in.data();
	std::memmove(data, in.pos, kept);
	in.pos = data;
	in.end = data + kept;
	const std::size_t room = input_data_bytes - kept;
	long n;
	do
		n = in.read(in.context, in.end, room);
	while (n < 0 && errno == EINTR);
	if (n < 0) {
		in.read_errno = errno;
		n = 0;
	} else if (n == 0) {
		in.eof = true;
	}
	in.end += n;
	*in.end = '\0';
	return in.read_errno == 0;
}
