#pragma once

// The control embedded in the test container, and what tests read back of it.

#include <string>

#include "bstr.h"
#include "ocx.h"
#include "test_container.h"

namespace rawlet::test {

using activex::Bstr;

inline constexpr HRESULT kNameNotValid = static_cast<HRESULT>(0x800A7D00);    // 32000
inline constexpr HRESULT kNoDocument = static_cast<HRESULT>(0x800A7D21);      // 32033
inline constexpr HRESULT kSetNotPermitted = static_cast<HRESULT>(0x800A0183); // 387

// A new control; with a site it is embedded the way the control asks to be: the site
// first, then set up fresh.
ComPtr<_Rawlet> CreateControl(IOleClientSite* site = nullptr);

template <class I> ComPtr<I> As(const ComPtr<_Rawlet>& control) { return control.As<I>(); }

std::wstring PrinterName(_Rawlet* control);
std::wstring PrinterData(_Rawlet* control);
std::wstring DocumentName(_Rawlet* control);
bool Translate(_Rawlet* control);

// The properties the control saves to a fresh bag. PrinterData's field shows only there:
// its getter reads it only while a queue is open.
ComPtr<TestBag> Saved(const ComPtr<_Rawlet>& control);

// The thread's error description after a failed vtable call.
std::wstring ErrorDescription();

} // namespace rawlet::test
