// What the system says of the processor: the flags Linux lists in
// /proc/cpuinfo, those that it and the processor both support.  The wide
// x86 kernels are held against them, not against the program's own
// CPUID reading.
#ifndef BALANCE_CHECK_ORACLES_PROCESSOR_FLAGS_H
#define BALANCE_CHECK_ORACLES_PROCESSOR_FLAGS_H

#include <fstream>
#include <sstream>
#include <string>

struct ProcessorFlags {
	bool listed = false;  // false where there is no /proc/cpuinfo
	std::string flags = " ";

	bool has(const char* f) const { return flags.find(std::string(" ") + f + ' ') != std::string::npos; }
	// The sets of the AVX2 kernel, and AVX-512's beside them.
	bool avx2() const { return has("avx2") && has("bmi1") && has("bmi2") && has("popcnt"); }
	bool avx512() const { return avx2() && has("avx512f") && has("avx512bw"); }
};

inline ProcessorFlags processor_flags()
{
	ProcessorFlags p;
	std::ifstream cpuinfo("/proc/cpuinfo");
	std::string line;
	while (std::getline(cpuinfo, line) && line.compare(0, 5, "flags") != 0) {
	}
	if (line.compare(0, 5, "flags") != 0)
		return p;
	p.listed = true;
	std::istringstream words(line.substr(line.find(':') + 1));
	for (std::string flag; words >> flag;)
		p.flags += flag + ' ';
	return p;
}

#endif
