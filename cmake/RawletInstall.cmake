# Installing Rawlet on Linux and macOS: librawlet (the control with the CUPS platform and the
# code-page tables, one shared library), its headers, the rawlet command and its man page,
# a CMake package (find_package(Rawlet) -> Rawlet::rawlet), a pkg-config file and the licence.
# debian/ makes the Debian packages from this installation.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

find_package(Cups REQUIRED)

# The soname counts ABI breaks, not releases: it goes up only when a program built against an
# earlier librawlet would no longer run or would misbehave (a public class changes its layout
# or its virtual functions, a public function goes or changes its signature), whatever the
# product's version does. It started at 2 because the first librawlet went out as
# librawlet.so.2; 3 came with Finish() returning the job's outcome. The Debian runtime
# package is named after it (librawlet3). The file's own name carries the release
# (librawlet.so.2.0.0.1), so a user can tell which one is installed.
set(RAWLET_SOVERSION 3)

# Made of the objects of the control, the code pages, the POSIX helpers, the CUPS platform,
# the direct printers and the front door (all built position-independent).
add_library(rawlet_library SHARED
  $<TARGET_OBJECTS:rawlet> $<TARGET_OBJECTS:rawlet_codepage> $<TARGET_OBJECTS:rawlet_posixapi>
  $<TARGET_OBJECTS:rawlet_ipp> $<TARGET_OBJECTS:rawlet_cups> $<TARGET_OBJECTS:rawlet_direct_transports>
  $<TARGET_OBJECTS:rawlet_direct_status> $<TARGET_OBJECTS:rawlet_direct> $<TARGET_OBJECTS:rawlet_combined>
  $<TARGET_OBJECTS:rawlet_posix>
  $<TARGET_OBJECTS:rawlet_frontdoor>)
target_link_libraries(rawlet_library PRIVATE Cups::Cups ${CMAKE_DL_LIBS})
target_include_directories(rawlet_library INTERFACE $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
target_compile_features(rawlet_library INTERFACE cxx_std_17)
set_target_properties(rawlet_library PROPERTIES
  OUTPUT_NAME rawlet
  EXPORT_NAME rawlet
  VERSION ${PROJECT_VERSION}
  SOVERSION ${RAWLET_SOVERSION})

install(TARGETS rawlet_library EXPORT RawletTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(TARGETS rawlet_cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/cli/rawlet.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The public headers only: a consumer includes <rawlet/...> from one include root.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/rawlet ${PROJECT_BINARY_DIR}/include/rawlet
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

set(cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/Rawlet)
install(EXPORT RawletTargets NAMESPACE Rawlet:: DESTINATION ${cmake_dir})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/RawletConfig.cmake.in
  ${PROJECT_BINARY_DIR}/RawletConfig.cmake INSTALL_DESTINATION ${cmake_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/RawletConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/RawletConfig.cmake ${PROJECT_BINARY_DIR}/RawletConfigVersion.cmake
  DESTINATION ${cmake_dir})

# The .pc file finds its prefix from where it lies, so an installed tree can be moved.
set(pkgconfig_dir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH pc_to_prefix /root/${pkgconfig_dir} /root)
string(REGEX REPLACE "/$" "" pc_to_prefix "${pc_to_prefix}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/rawlet.pc.in ${PROJECT_BINARY_DIR}/rawlet.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/rawlet.pc DESTINATION ${pkgconfig_dir})
