# Toolchain for the Windows build of tallora with Debian's MinGW-w64 cross
# compiler (package g++-mingw-w64-x86-64). The top-level CMakeLists adds
# -static and __USE_MINGW_ANSI_STDIO=1 for MinGW, so tallora.exe needs no DLL
# beyond KERNEL32.dll and msvcrt.dll, which every Windows has.
#
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
#         -DBUILD_TESTING=OFF
#   cmake --build build-windows --target tallora
#
# With tests: GoogleTest cross-built with this same file and named by
# -DGTest_DIR=<its install>/lib/cmake/GTest (tests/stages/windows.sh does
# that from Debian's sources in /usr/src/googletest, and runs the unit tests
# under wine).
#
# The compiler of the POSIX thread model is preferred (full C++ standard
# threads); the Win32 one is taken when it is the only one installed.
# Set TALLORA_MINGW_PREFIX for a compiler of another x86-64 triplet.
# When wine is installed it becomes the emulator that CTest and GoogleTest's
# test discovery run Windows test programs with.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

if(NOT TALLORA_MINGW_PREFIX)
  set(TALLORA_MINGW_PREFIX x86_64-w64-mingw32)
endif()
# Passed on to the try_compile projects CMake makes while configuring.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TALLORA_MINGW_PREFIX)

if(NOT CMAKE_CXX_COMPILER)
  find_program(TALLORA_MINGW_CXX
               NAMES ${TALLORA_MINGW_PREFIX}-g++-posix
                     ${TALLORA_MINGW_PREFIX}-g++
                     ${TALLORA_MINGW_PREFIX}-g++-win32
               REQUIRED)
  set(CMAKE_CXX_COMPILER ${TALLORA_MINGW_CXX})
endif()
if(NOT CMAKE_C_COMPILER)
  # Only projects that enable C (GoogleTest's) use it.
  find_program(TALLORA_MINGW_CC
               NAMES ${TALLORA_MINGW_PREFIX}-gcc-posix
                     ${TALLORA_MINGW_PREFIX}-gcc
                     ${TALLORA_MINGW_PREFIX}-gcc-win32)
  if(TALLORA_MINGW_CC)
    set(CMAKE_C_COMPILER ${TALLORA_MINGW_CC})
  endif()
endif()
find_program(TALLORA_MINGW_WINDRES NAMES ${TALLORA_MINGW_PREFIX}-windres)
if(TALLORA_MINGW_WINDRES)
  set(CMAKE_RC_COMPILER ${TALLORA_MINGW_WINDRES})
endif()

# Headers and libraries of the target come only from the cross sysroot (and
# from CMAKE_PREFIX_PATH, such as a cross-built GoogleTest); programs run
# during the build come from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${TALLORA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

if(NOT DEFINED CMAKE_CROSSCOMPILING_EMULATOR)
  find_program(TALLORA_WINE NAMES wine wine64)
  if(TALLORA_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${TALLORA_WINE})
  endif()
endif()
