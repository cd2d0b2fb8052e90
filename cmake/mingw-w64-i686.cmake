# Cross build for 32-bit Windows with Debian's MinGW-w64, win32 threads flavour: the
# posix flavour's static thread library imports calls that no Windows 95, 98 or Me has.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Code for the i486, the oldest processor the Windows 95 family runs on: the compiler's
# default (Pentium Pro) would use cmov, fcomi and fcmov, which a Pentium, K6 or Cyrix
# lacks. The program throws nothing and asks no type at run time, so it needs neither
# the unwinder nor type information.
set(CMAKE_C_FLAGS_INIT "-march=i486")
set(CMAKE_CXX_FLAGS_INIT
  "-march=i486 -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables")

# A program that Windows 95 still loads: the PE header asks for subsystem and system
# version 4.0, where the linker's default would be newer. Orvel.scr itself links none of
# the MinGW and GCC runtimes (src/shell/CMakeLists.txt): they are built for the Pentium
# Pro; its start-up and the few helpers it needs are in src/platform/win32.
set(CMAKE_EXE_LINKER_FLAGS_INIT
  "-static -static-libgcc -static-libstdc++ -Wl,--subsystem,windows:4.0 -Wl,--major-subsystem-version,4 -Wl,--minor-subsystem-version,0 -Wl,--major-os-version,4 -Wl,--minor-os-version,0")
