# Cross-building for 64-bit Windows with mingw-w64 (Debian's packages).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(RAWLET_MINGW_TRIPLE x86_64-w64-mingw32)
set(RAWLET_WIDL_TARGET --win64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
