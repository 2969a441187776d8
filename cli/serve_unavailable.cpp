#include <stdexcept>

#include "serve_command.h"

namespace rawlet::cli {

// A build without the bridge (RAWLET_BUILD_BRIDGE off, or Windows).
int Serve(const Options&) { throw std::runtime_error("this rawlet was built without the bridge (serve)"); }

} // namespace rawlet::cli
