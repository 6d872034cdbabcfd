# Shared part of the mingw-w64 toolchain files. The including file sets
# MINGW_ARCH (x86_64 or i686) and MINGW_THREADS (win32 or posix) first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${MINGW_ARCH})
set(MINGW_TRIPLE ${MINGW_ARCH}-w64-mingw32)

set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc-${MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-${MINGW_THREADS})
set(CMAKE_RC_COMPILER ${MINGW_TRIPLE}-windres)
set(CMAKE_OBJDUMP ${MINGW_TRIPLE}-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Every Windows program of the trees links statically: the shipped exes and
# the tests import system DLLs only, and run on any Windows from XP on.
# (A link option rather than the linker-flag defaults, which a build folder
# configured before keeps in its cache.)
add_link_options(-static)
