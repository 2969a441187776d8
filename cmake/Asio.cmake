# rawlet_asio: Boost.Asio (headers only) for the cross build, the Asio of the Windows
# transports of direct printers; it is the Boost whose Beast the bridge uses on Linux, so the
# product has one Asio.
#
# The mingw-w64 toolchain searches its own root only, which hides /usr/include, and putting
# all of /usr/include on the path would hand the cross compiler the host's C library headers.
# So the build tree gets a folder holding only `boost/`, a link to the host's Boost.
if(TARGET rawlet_asio)
  return()
endif()
set(RAWLET_HOST_BOOST_DIR /usr/include/boost CACHE PATH
    "The host's Boost headers (Debian: libboost1.81-dev), linked into the cross build")
if(NOT EXISTS ${RAWLET_HOST_BOOST_DIR}/asio.hpp)
  message(FATAL_ERROR "Boost.Asio not found in ${RAWLET_HOST_BOOST_DIR}: install libboost1.81-dev "
                      "or set RAWLET_HOST_BOOST_DIR")
endif()
set(boost_only ${PROJECT_BINARY_DIR}/boost-only)
file(MAKE_DIRECTORY ${boost_only})
file(CREATE_LINK ${RAWLET_HOST_BOOST_DIR} ${boost_only}/boost SYMBOLIC)

add_library(rawlet_asio INTERFACE)
target_include_directories(rawlet_asio SYSTEM INTERFACE ${boost_only})
# Windows 10 1703's declarations, so that the socket's TCP counts (SIO_TCP_INFO) are named;
# an older system refuses that request when it is made, and nothing else needs it.
target_compile_definitions(rawlet_asio INTERFACE _WIN32_WINNT=0x0A00 NTDDI_VERSION=0x0A000003
                                                 BOOST_ASIO_NO_DEPRECATED WIN32_LEAN_AND_MEAN NOMINMAX)
target_link_libraries(rawlet_asio INTERFACE ws2_32 mswsock)
