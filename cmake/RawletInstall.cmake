# Installing Rawlet on Linux and macOS: librawlet (the control with the CUPS platform and the
# code-page tables, one shared library), its headers, the rawlet command and its man page,
# a CMake package (find_package(Rawlet) -> Rawlet::rawlet), a pkg-config file, and a .deb.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

find_package(Cups REQUIRED)

# Made of the objects of the control, the code pages, the CUPS platform and the direct
# printers (all built position-independent).
add_library(rawlet_library SHARED
  $<TARGET_OBJECTS:rawlet> $<TARGET_OBJECTS:rawlet_codepage> $<TARGET_OBJECTS:rawlet_cups>
  $<TARGET_OBJECTS:rawlet_direct>)
target_link_libraries(rawlet_library PRIVATE Cups::Cups)
target_include_directories(rawlet_library INTERFACE $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
target_compile_features(rawlet_library INTERFACE cxx_std_20)
set_target_properties(rawlet_library PROPERTIES
  OUTPUT_NAME rawlet
  EXPORT_NAME rawlet
  VERSION ${PROJECT_VERSION}
  SOVERSION ${PROJECT_VERSION_MAJOR})

install(TARGETS rawlet_library EXPORT RawletTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(TARGETS rawlet_cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/cli/rawlet.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

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

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rawlet)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Send text to a printer queue in raw form")
set(CPACK_PACKAGE_CONTACT "Rawlet developers <developers@rawlet.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Rawlet sends text straight to a printer queue in raw form, past the
 driver's page rendering, so the printer uses its own fonts and obeys the control codes
 in the text. It can translate text from the ANSI to the OEM (DOS) code page on the way.
 This package holds the rawlet command and the C++ library librawlet.")
include(CPack)
