#include "shared_library.h"

#include <dlfcn.h>

namespace rawlet::posixapi {

SharedLibrary::SharedLibrary(std::initializer_list<const char*> names) noexcept
{
    for (const char* name : names) {
        handle_ = ::dlopen(name, RTLD_NOW | RTLD_LOCAL);
        if (handle_)
            return;
        const char* reason = ::dlerror();
        failure_ = reason ? reason : std::string("cannot load ") + name;
    }
}

void* SharedLibrary::Symbol(const char* name) const noexcept
{
    return handle_ ? ::dlsym(handle_, name) : nullptr;
}

} // namespace rawlet::posixapi
