// The input buffer: one block read at a time behind the padding the fast
// path may read, with the unfinished token kept across refills.
#include "query_reader.h"

#include <cerrno>
#include <cstring>

namespace {

std::size_t length(const char* first, const char* last)
{
	return static_cast<std::size_t>(last - first);
}

}  // namespace

void reader_init(QueryReader& r, ReadFunction read, void* context)
{
	r.read = read;
	r.context = context;
	std::memset(r.storage, 0, sizeof r.storage);  // padding is read, so defined
	r.pos = r.end = r.storage + everyday_front_padding;
	r.eof = false;
	r.fields = 0;
	r.partial = BalanceQuery{};
	r.query_number = 1;
	r.error = InputError::none;
	r.error_errno = 0;
	r.bad_text = nullptr;
	r.bad_length = 0;
}

bool refill(QueryReader& r)
{
	const std::size_t kept = length(r.pos, r.end);
	char* const data = r.storage + everyday_front_padding;
	std::memmove(data, r.pos, kept);
	r.pos = data;
	r.end = data + kept;
	const std::size_t room = sizeof r.storage - everyday_front_padding - everyday_back_padding - kept;
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
