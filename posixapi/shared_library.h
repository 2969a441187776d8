#pragma once

#include <cstring>
#include <initializer_list>
#include <string>

namespace rawlet::posixapi {

// A shared library loaded at run time rather than linked, so that a program pays for it
// only when it first needs it, and kept for the rest of the process.
class SharedLibrary {
public:
    // Loads the first of `names` that the system finds.
    explicit SharedLibrary(std::initializer_list<const char*> names) noexcept;
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    bool loaded() const noexcept { return handle_ != nullptr; }
    // The loader's reason when none of the names loaded.
    const std::string& failure() const noexcept { return failure_; }

    // The library's function `name`, with the type of its declaration, so that the compiler
    // checks every call; null when the library lacks it or is not loaded.
    template <class Function> Function* Find(const char* name) const noexcept
    {
        void* const symbol = Symbol(name);
        Function* function = nullptr;
        std::memcpy(&function, &symbol, sizeof function); // an object pointer to a function pointer
        return function;
    }
    template <class Function> bool Find(const char* name, Function*& function) const noexcept
    {
        function = Find<Function>(name);
        return function != nullptr;
    }

private:
    void* Symbol(const char* name) const noexcept;

    void* handle_ = nullptr;
    std::string failure_;
};

} // namespace rawlet::posixapi
