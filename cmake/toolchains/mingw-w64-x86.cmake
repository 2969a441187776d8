# Cross-building for 32-bit Windows with mingw-w64 (Debian's packages).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(RAWLET_MINGW_TRIPLE i686-w64-mingw32)
set(RAWLET_WIDL_TARGET --win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
