// The input buffer: one block read at a time between the paddings that
// the kernels, scanners and keys may read, with the unfinished token kept across
// refills.
#include "query_reader.h"

#include <cerrno>
#include <cstring>

void reader_init(QueryReader& r, ReadFunction read, void* context)
{
	r.read = read;
	r.context = context;
	std::memset(r.storage, 0, sizeof r.storage);  // padding is read, so defined
	r.pos = r.end = r.data();
	r.eof = false;
	r.fields = 0;
	r.partial = BalanceQuery{};
	r.query_number = 1;
	r.error = InputError::none;
	r.error_errno = 0;
	r.bad_text = nullptr;
	r.bad_length = 0;
	stages::index_reset(r.index);
}

bool refill(QueryReader& r)
{
	const auto kept = static_cast<std::size_t>(r.end - r.pos);
	char* const data = r.data();
	std::memmove(data, r.pos, kept);
	r.pos = data;
	r.end = data + kept;
	stages::index_reset(r.index);
	const std::size_t room = reader_data_bytes - kept;
	long n;
	do
		n = r.read(r.context, r.end, room);
	while (n < 0 && errno == EINTR);
	if (n < 0) {
		r.error = InputError::read_failed;
		r.error_errno = errno;
		n = 0;
	} else if (n == 0) {
		r.eof = true;
	}
	r.end += n;
	*r.end = '\0';
	return r.error == InputError::none;
}
