#pragma once

#include <string>
#include <utility>
#include <windows.h>

namespace rawlet::activex {

// Owns an open registry key.
class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() { reset(); }
    RegistryKey(RegistryKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
    RegistryKey& operator=(RegistryKey&& other) noexcept
    {
        std::swap(key_, other.key_);
        return *this;
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    HKEY get() const noexcept { return key_; }
    HKEY* put() noexcept
    {
        reset();
        return &key_;
    }
    void reset() noexcept
    {
        if (HKEY old = std::exchange(key_, nullptr))
            RegCloseKey(old);
    }

private:
    HKEY key_ = nullptr;
};

} // namespace rawlet::activex
