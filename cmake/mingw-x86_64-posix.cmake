set(MINGW_ARCH x86_64)
set(MINGW_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
