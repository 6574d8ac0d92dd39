// Writes a generated corpus to standard output, ended by 0 0 0 0: for
// timing by hand, and for comparing the answers of builds for other targets.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "corpus.h"

int main(int argc, char** argv)
{
	CorpusGenerator gen;
	long n = 100000;
	for (int i = 1; i < argc; ++i) {
		if (std::strcmp(argv[i], "--queries") == 0 && i + 1 < argc) {
			n = std::atol(argv[++i]);
		} else if (std::strcmp(argv[i], "--shape") == 0 && i + 1 < argc && shape_of(argv[i + 1], gen.shape)) {
			++i;
		} else {
			std::fprintf(stderr, "usage: make_corpus [--queries N] [--shape plain|crlf|tabs|padded|"
			                     "signs|cents|pow|columns|long|exponent|mixed|near-one]\n");
			return 2;
		}
	}
	char line[160];
	for (long i = 0; i < n; ++i)
		std::fwrite(line, 1, static_cast<std::size_t>(gen.line(line)), stdout);
	std::fputs("\n0 0 0 0\n", stdout);
	return std::fflush(stdout) == 0 ? 0 : 1;
}
