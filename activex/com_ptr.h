#pragma once

#include <windows.h> // first: the COM headers build on it

#include <unknwn.h>
#include <utility>

namespace rawlet::activex {

// Owns one reference to a COM interface.
template <class T> class ComPtr {
public:
    ComPtr() = default;
    // Takes over a reference the caller already holds.
    static ComPtr Attach(T* pointer) noexcept
    {
        ComPtr result;
        result.pointer_ = pointer;
        return result;
    }
    // Takes a reference of its own to a pointer someone else holds (may be null).
    static ComPtr Share(T* pointer) noexcept
    {
        if (pointer)
            pointer->AddRef();
        return Attach(pointer);
    }
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr& other) noexcept : pointer_(other.pointer_)
    {
        if (pointer_)
            pointer_->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept
    {
        std::swap(pointer_, other.pointer_);
        return *this;
    }

    T* get() const noexcept { return pointer_; }
    T* operator->() const noexcept { return pointer_; }
    explicit operator bool() const noexcept { return pointer_ != nullptr; }
    // For out-parameters: releases what is held and hands out the slot.
    T** put() noexcept
    {
        reset();
        return &pointer_;
    }
    // Gives up ownership of the reference without releasing it.
    T* detach() noexcept { return std::exchange(pointer_, nullptr); }
    void reset() noexcept
    {
        if (T* old = std::exchange(pointer_, nullptr))
            old->Release();
    }

    template <class U> ComPtr<U> As() const noexcept
    {
        ComPtr<U> result;
        if (pointer_)
            pointer_->QueryInterface(__uuidof(U), reinterpret_cast<void**>(result.put()));
        return result;
    }

private:
    T* pointer_ = nullptr;
};

} // namespace rawlet::activex
