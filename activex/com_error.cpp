#include "com_error.h"

#include <new>
#include <stdexcept>

#include "Rawlet_h.h"
#include "ansi_text.h"
#include "bstr.h"
#include "com_ptr.h"
#include <rawlet/error.h>

namespace rawlet::activex {

namespace {

void SetThreadErrorInfo(const ErrorTexts& texts)
{
    ComPtr<ICreateErrorInfo> create;
    if (FAILED(CreateErrorInfo(create.put())))
        return;
    Bstr source(texts.source);
    Bstr description(texts.description);
    create->SetGUID(IID__Rawlet);
    create->SetSource(source.get());
    create->SetDescription(description.get());
    if (auto info = create.As<IErrorInfo>())
        SetErrorInfo(0, info.get());
}

} // namespace

ErrorTexts TextsFor(const Error& error)
{
    if (error.source().empty() && error.description().empty())
        // The container's own texts for an error raised bare: its standard message, and the
        // component's name as source.
        return {winapi::FromAnsi(errors::kSource),
                winapi::FromAnsi(errors::StandardDescription(error.number()))};
    return {winapi::FromAnsi(error.source()), winapi::FromAnsi(error.description())};
}

HRESULT ErrorHResult(int number) noexcept
{
    return MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, static_cast<unsigned>(number) & 0xFFFFu);
}

HRESULT ReportError(const Error& error) noexcept
{
    try {
        SetThreadErrorInfo(TextsFor(error));
    } catch (...) {
        SetErrorInfo(0, nullptr); // the number still reaches the caller
    }
    return ErrorHResult(error.number());
}

HRESULT ReportCurrentException() noexcept
{
    try {
        throw;
    } catch (const Error& error) {
        return ReportError(error);
    } catch (const ComFailure& failure) {
        return failure.result;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const std::length_error&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

HRESULT ToDispatchException(HRESULT result, EXCEPINFO* info) noexcept
{
    if (SUCCEEDED(result) || result == DISP_E_EXCEPTION || HRESULT_FACILITY(result) != FACILITY_CONTROL)
        return result;
    if (info != nullptr) {
        *info = EXCEPINFO{};
        info->scode = result;
        ComPtr<IErrorInfo> error;
        if (GetErrorInfo(0, error.put()) == S_OK && error) {
            error->GetSource(&info->bstrSource);
            error->GetDescription(&info->bstrDescription);
            error->GetHelpFile(&info->bstrHelpFile);
            error->GetHelpContext(&info->dwHelpContext);
        }
    }
    return DISP_E_EXCEPTION;
}

} // namespace rawlet::activex
