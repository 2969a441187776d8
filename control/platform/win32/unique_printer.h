#pragma once

#include <utility>
#include <windows.h>
#include <winspool.h>

namespace rawlet::win32 {

// Owns a winspool printer handle: closing it is the destructor's job.
class UniquePrinter {
public:
    UniquePrinter() = default;
    explicit UniquePrinter(HANDLE handle) noexcept : handle_(handle) {}
    ~UniquePrinter() { reset(); }
    UniquePrinter(UniquePrinter&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    UniquePrinter& operator=(UniquePrinter&& other) noexcept
    {
        if (this != &other)
            reset(std::exchange(other.handle_, nullptr));
        return *this;
    }
    UniquePrinter(const UniquePrinter&) = delete;
    UniquePrinter& operator=(const UniquePrinter&) = delete;

    HANDLE get() const noexcept { return handle_; }
    void reset(HANDLE handle = nullptr) noexcept
    {
        if (handle_ != nullptr)
            ::ClosePrinter(handle_);
        handle_ = handle;
    }

private:
    HANDLE handle_ = nullptr;
};

} // namespace rawlet::win32
