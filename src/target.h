// Every compile-time choice about the compiler and the target, made here
// once: the rest of the program tests only the BALANCE_CHECK_ macros below,
// never a compiler's own.  Each choice has a standard C++ twin, which
// BALANCE_CHECK_PORTABLE_ONLY (the CMake option BALANCE_PORTABLE_ONLY)
// takes everywhere at once, as a compiler with none of these extensions
// would; CI tests that build too.  The operating system is not chosen here:
// CMake compiles one file of src/platform/ for it.
#ifndef BALANCE_CHECK_TARGET_H
#define BALANCE_CHECK_TARGET_H

#include <charconv>  // defines __cpp_lib_to_chars

// GCC and Clang: bit-scan and byte-swap builtins, forced inlining.
#if (defined(__GNUC__) || defined(__clang__)) && !defined(BALANCE_CHECK_PORTABLE_ONLY)
#define BALANCE_CHECK_HAVE_BUILTINS 1
#endif

// Byte order, where the compiler states it; otherwise loads go byte by byte.
#if defined(BALANCE_CHECK_HAVE_BUILTINS) && defined(__BYTE_ORDER__)
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
#define BALANCE_CHECK_LITTLE_ENDIAN 1
#elif __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
#define BALANCE_CHECK_BIG_ENDIAN 1
#endif
#endif

// The compiler's unsigned __int128: HAVE says it exists (the tests hold the
// two-word twin against it even in the portable build), USE that the
// program computes with it.
#if defined(__SIZEOF_INT128__)
#define BALANCE_CHECK_HAVE_INT128 1
#if !defined(BALANCE_CHECK_PORTABLE_ONLY)
#define BALANCE_CHECK_USE_INT128 1
#endif
#endif

// SSE2: all of x86-64, and 32-bit x86 built with -msse2 (CMake asks for it).
// BALANCE_CHECK_WIDEST_KERNEL_AVX2, _SSE2 or _SWAR (the CMake option
// BALANCE_WIDEST_KERNEL) leaves every wider kernel out of the build, so
// that each kernel can be checked and timed as the whole program.
#if defined(BALANCE_CHECK_WIDEST_KERNEL_SWAR)
#define BALANCE_CHECK_WIDEST_KERNEL_SSE2 1
#endif
#if defined(BALANCE_CHECK_WIDEST_KERNEL_SSE2)
#define BALANCE_CHECK_WIDEST_KERNEL_AVX2 1
#endif

#if (defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)) && \
	!defined(BALANCE_CHECK_PORTABLE_ONLY) && !defined(BALANCE_CHECK_WIDEST_KERNEL_SWAR)
#define BALANCE_CHECK_HAVE_SSE2 1
#endif

// NEON, which every aarch64 processor has, on little-endian Arm (the
// kernel reads its masks from a vector's low lane).
#if defined(__aarch64__) && defined(__ARM_NEON) && defined(BALANCE_CHECK_LITTLE_ENDIAN) && \
	!defined(BALANCE_CHECK_WIDEST_KERNEL_SWAR)
#define BALANCE_CHECK_HAVE_NEON 1
#endif

// WebAssembly SIMD128, where the module is built with -msimd128.
#if defined(__wasm_simd128__) && !defined(BALANCE_CHECK_PORTABLE_ONLY) && \
	!defined(BALANCE_CHECK_WIDEST_KERNEL_SWAR)
#define BALANCE_CHECK_HAVE_SIMD128 1
#endif

// x86-64 with GCC or Clang: the AVX2 and AVX-512 kernels, compiled with
// target attributes into the one baseline binary and chosen at start-up
// by CPUID and XGETBV (kernels/x86_features.cpp).  The loop that runs a
// wide kernel is flattened into one function of that instruction set, so
// that nothing compiled for it is ever shared with the baseline code.
#if defined(BALANCE_CHECK_HAVE_BUILTINS) && defined(__x86_64__)
#define BALANCE_CHECK_HAVE_X86_DISPATCH 1
#if !defined(BALANCE_CHECK_WIDEST_KERNEL_SSE2)
#define BALANCE_CHECK_HAVE_AVX2 1
#endif
#if !defined(BALANCE_CHECK_WIDEST_KERNEL_AVX2)
#define BALANCE_CHECK_HAVE_AVX512 1
#endif
#define BALANCE_CHECK_TARGET(features) __attribute__((target(features)))
#define BALANCE_CHECK_FLATTEN __attribute__((flatten))
#else
#define BALANCE_CHECK_TARGET(features)
#define BALANCE_CHECK_FLATTEN
#endif

// std::from_chars for double.  libc++ before 20 has none; libstdc++'s is an
// ulp off for some inputs on 32-bit x86, where it is built for x87
// arithmetic.  Without it the C library's strtod, which is exact, takes
// every token (the program never leaves the "C" locale).
#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L && !defined(__i386__) && \
	!defined(_M_IX86) && !defined(BALANCE_CHECK_PORTABLE_ONLY)
#define BALANCE_CHECK_USE_FROM_CHARS 1
#endif

// A function the query loop calls rarely, kept out of it, so that its
// registers stay the loop's; inlined as any other elsewhere.
#if defined(BALANCE_CHECK_HAVE_BUILTINS)
#define BALANCE_CHECK_NOINLINE __attribute__((noinline))
#else
#define BALANCE_CHECK_NOINLINE
#endif

// A branch the everyday road almost never takes, so that the compiler
// keeps the registers for the road; the plain condition elsewhere.
#if defined(BALANCE_CHECK_HAVE_BUILTINS)
#define BALANCE_CHECK_UNLIKELY(condition) __builtin_expect(!!(condition), 0)
#else
#define BALANCE_CHECK_UNLIKELY(condition) (condition)
#endif

// Both stages are one piece of code in each kernel's loop; GCC and Clang
// otherwise split them into calls once they have several instances.
#if defined(BALANCE_CHECK_HAVE_BUILTINS)
#define BALANCE_CHECK_INLINE __attribute__((always_inline)) inline
#else
#define BALANCE_CHECK_INLINE inline
#endif

#endif
