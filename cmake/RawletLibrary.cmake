# rawlet_add_library(NAME SOURCE... [PUBLIC TARGET...] [PRIVATE TARGET...])
# One of the libraries the product is made of: its sources, built position-independent (the
# shared librawlet is made of their objects) under our warning policy, with its own folder on
# the include path of whatever links it, so that a header reaches only the code that links
# its owner.
function(rawlet_add_library name)
  cmake_parse_arguments(PARSE_ARGV 1 library "" "" "PUBLIC;PRIVATE")
  add_library(${name} STATIC ${library_UNPARSED_ARGUMENTS})
  target_include_directories(${name} PUBLIC $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}>)
  target_link_libraries(${name} PUBLIC ${library_PUBLIC} PRIVATE ${library_PRIVATE} rawlet_warnings)
  set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
endfunction()
