#pragma once

#include <windows.h> // first: the COM headers build on it

#include <new>
#include <oleauto.h>
#include <string_view>
#include <utility>

namespace rawlet::activex {

// Owns a BSTR. A null BSTR is the empty text, as automation treats it.
class Bstr {
public:
    Bstr() = default;
    // Copies `text`, NUL characters included. Throws std::bad_alloc.
    explicit Bstr(std::wstring_view text)
        : bstr_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())))
    {
        if (bstr_ == nullptr)
            throw std::bad_alloc();
    }
    // Takes over a BSTR someone handed us to free.
    static Bstr Attach(BSTR bstr) noexcept
    {
        Bstr result;
        result.bstr_ = bstr;
        return result;
    }
    ~Bstr() { SysFreeString(bstr_); }
    Bstr(Bstr&& other) noexcept : bstr_(std::exchange(other.bstr_, nullptr)) {}
    Bstr& operator=(Bstr&& other) noexcept
    {
        std::swap(bstr_, other.bstr_);
        return *this;
    }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;

    BSTR get() const noexcept { return bstr_; }
    // For out-parameters: frees what is held and hands out the slot.
    BSTR* put() noexcept
    {
        SysFreeString(std::exchange(bstr_, nullptr));
        return &bstr_;
    }
    // Hands the string to a caller that frees it.
    BSTR detach() noexcept { return std::exchange(bstr_, nullptr); }
    std::wstring_view view() const noexcept { return View(bstr_); }

    // The text of a BSTR someone else owns; its length is the BSTR's own, not up to a NUL.
    static std::wstring_view View(BSTR bstr) noexcept { return {bstr ? bstr : L"", SysStringLen(bstr)}; }

private:
    BSTR bstr_ = nullptr;
};

} // namespace rawlet::activex
