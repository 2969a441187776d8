#pragma once

#include <windows.h> // first: the COM headers build on it

#include <oleauto.h>

namespace rawlet::activex {

// Owns a VARIANT: whatever it holds is cleared with it.
class Variant {
public:
    Variant() noexcept { VariantInit(&value_); }
    ~Variant() { VariantClear(&value_); }
    Variant(Variant&& other) noexcept : value_(other.value_) { VariantInit(&other.value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    Variant& operator=(Variant&&) = delete;

    VARIANT* get() noexcept { return &value_; }
    const VARIANT* get() const noexcept { return &value_; }
    VARIANT* operator->() noexcept { return &value_; }
    const VARIANT* operator->() const noexcept { return &value_; }
    // Clears what is held and hands out the VARIANT for an out-parameter.
    VARIANT* put() noexcept
    {
        VariantClear(&value_);
        return &value_;
    }

private:
    VARIANT value_;
};

} // namespace rawlet::activex
