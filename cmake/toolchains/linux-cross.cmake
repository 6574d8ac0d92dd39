# Shared part of the Linux cross toolchains: set `triple` (Debian's name
# for the target) and `qemu` (its qemu-user program), then include this.
# The tests run under qemu-user with the target's libraries from Debian's
# cross packages.
set(CMAKE_SYSTEM_NAME Linux)
string(REGEX MATCH "^[^-]+" CMAKE_SYSTEM_PROCESSOR "${triple}")
set(CMAKE_C_COMPILER ${triple}-gcc)
set(CMAKE_CXX_COMPILER ${triple}-g++)
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${qemu} -L /usr/${triple})
# Static programs: qemu-user then needs none of the target's libraries at
# run time, and fork in a dynamically linked 32-bit x86 program hangs
# under Debian 12's qemu-i386.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
