#pragma once

#include <utility>
#include <windows.h>

namespace rawlet::winapi {

// Owns one Win32 handle and gives it back to the system with `Close` when it goes.
template <class Handle, auto Close> class Unique {
public:
    Unique() = default;
    explicit Unique(Handle handle) noexcept : handle_(handle) {}
    ~Unique() { reset(); }
    Unique(Unique&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    Unique& operator=(Unique&& other) noexcept
    {
        reset(std::exchange(other.handle_, nullptr));
        return *this;
    }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != nullptr; }
    // For functions that hand back a new handle through a pointer.
    Handle* put() noexcept
    {
        reset();
        return &handle_;
    }
    void reset(Handle handle = nullptr) noexcept
    {
        if (Handle old = std::exchange(handle_, handle))
            Close(old);
    }

private:
    Handle handle_ = nullptr;
};

using UniqueKey = Unique<HKEY, RegCloseKey>;

} // namespace rawlet::winapi
