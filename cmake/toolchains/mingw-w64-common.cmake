# Shared by the two mingw-w64 toolchain files, which set RAWLET_MINGW_TRIPLE first.
#
# The posix-threads flavour of the compilers gives us std::mutex; everything of the C++
# run time (libgcc, libstdc++, winpthread) is linked statically, because a control is
# copied onto machines that have nothing but Windows itself.
set(CMAKE_C_COMPILER ${RAWLET_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${RAWLET_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${RAWLET_MINGW_TRIPLE}-windres)
set(RAWLET_WIDL ${RAWLET_MINGW_TRIPLE}-widl)

set(CMAKE_FIND_ROOT_PATH /usr/${RAWLET_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
