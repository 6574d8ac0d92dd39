# WebAssembly for WASI with Debian's clang 14 and its wasm32-wasi C and
# C++ libraries (wasi-libc, libc++-14-dev-wasm32, libc++abi-14-dev-wasm32,
# libclang-rt-14-dev-wasm32).  The program is balance-check.wasm; the
# tests run under node's WASI through cmake/wasi-run.mjs.
set(CMAKE_SYSTEM_NAME WASI)
set(CMAKE_SYSTEM_PROCESSOR wasm32)
# CMake 3.25 knows no WASI platform: ours is in Platform/ beside this file.
list(APPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR})
set(CMAKE_C_COMPILER clang-14)
set(CMAKE_CXX_COMPILER clang++-14)
set(CMAKE_C_COMPILER_TARGET wasm32-wasi)
set(CMAKE_CXX_COMPILER_TARGET wasm32-wasi)
# Debian's wasm32 libc++abi has no exception runtime, so code that could
# throw would not link; libc++ then aborts where it would throw.
set(CMAKE_CXX_FLAGS_INIT -fno-exceptions)
# Only the WASI sysroot's libraries, never the host's.
set(CMAKE_FIND_ROOT_PATH /usr/lib/wasm32-wasi)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Building needs no node; running the tests does.
find_program(BALANCE_NODE node NO_CMAKE_FIND_ROOT_PATH)
if(BALANCE_NODE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${BALANCE_NODE} --no-warnings
      ${CMAKE_CURRENT_LIST_DIR}/../wasi-run.mjs)
endif()
