# Windows i686 DLL with MinGW-w64 (see toolchain-mingw-common.cmake).
set(TOLVANE_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
