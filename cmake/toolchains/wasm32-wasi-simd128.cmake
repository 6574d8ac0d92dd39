# WebAssembly for WASI as wasm32-wasi.cmake builds it, with SIMD128: the
# program is then the SIMD128 kernel's, and loads only where the runtime
# has SIMD128 (node 16.4 and later, current browsers, wasmtime).
include(${CMAKE_CURRENT_LIST_DIR}/wasm32-wasi.cmake)
string(APPEND CMAKE_CXX_FLAGS_INIT " -msimd128")
string(APPEND CMAKE_C_FLAGS_INIT " -msimd128")
