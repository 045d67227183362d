# Windows x86_64 DLL with MinGW-w64 (see toolchain-mingw-common.cmake).
set(TOLVANE_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
