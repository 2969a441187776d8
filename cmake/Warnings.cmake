# Every target of ours links this, so the warning policy lives in one place.
add_library(rawlet_warnings INTERFACE)
target_compile_options(rawlet_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion -Wnon-virtual-dtor
  -Wold-style-cast -Woverloaded-virtual -Wimplicit-fallthrough)
if(RAWLET_WARNINGS_AS_ERRORS)
  target_compile_options(rawlet_warnings INTERFACE -Werror)
endif()
