#pragma once

#include <oaidl.h>
#include <string>

#include <rawlet/error.h>

// The one place where the control's failures become COM results. Every COM method of
// the control runs its body through Guarded, so no C++ exception ever leaves it.
namespace rawlet::activex {

// What a caller sees of an error: the control's texts, or the host's standard ones for
// an error raised without them.
struct ErrorTexts {
    std::wstring source;
    std::wstring description;
};
ErrorTexts TextsFor(const Error& error);

// The HRESULT that carries the control's error number: 0x800A0000 | number, the facility
// scripts read their Err.Number from.
HRESULT ErrorHResult(int number) noexcept;

// Records `error` as the thread's IErrorInfo and returns its HRESULT.
HRESULT ReportError(const Error& error) noexcept;

// A failed call into someone else's COM object (a container's stream or property bag),
// carried as an exception to the guard of our method, which returns its result.
struct ComFailure {
    HRESULT result;
};

// Throws ComFailure for a failed result.
inline void Check(HRESULT result)
{
    if (FAILED(result))
        throw ComFailure{result};
}

// Converts the exception being handled (call only inside a catch block).
HRESULT ReportCurrentException() noexcept;

template <class Body> HRESULT Guarded(Body&& body) noexcept
{
    try {
        body();
        return S_OK;
    } catch (...) {
        return ReportCurrentException();
    }
}

// For Invoke: turns a failed member call into DISP_E_EXCEPTION with `info` filled from
// the thread's IErrorInfo, unless the type library's dispatch has done so already.
HRESULT ToDispatchException(HRESULT result, EXCEPINFO* info) noexcept;

} // namespace rawlet::activex
