#include "rawlet_object.h"

#include <new>

#include "ansi_text.h"
#include "bstr.h"
#include "com_error.h"
#include "module.h"
#include "type_library.h"
#include "win32_platform.h"

namespace rawlet::activex {

namespace {

BSTR ToBstr(const std::string& ansi) { return Bstr(winapi::FromAnsi(ansi)).detach(); }
std::string ToAnsi(BSTR text) { return winapi::ToAnsi(Bstr::View(text)); }

// One spooler for the process: its handle numbers stay unique across all objects.
win32::Win32Platform& SharedPlatform()
{
    static win32::Win32Platform platform;
    return platform;
}

} // namespace

RawletObject::RawletObject(ComPtr<ITypeInfo> typeInfo)
    : typeInfo_(std::move(typeInfo)), control_(SharedPlatform().Services(host_))
{
    module::ObjectCreated();
}

RawletObject::~RawletObject() { module::ObjectDestroyed(); }

HRESULT RawletObject::Create(REFIID riid, void** object) noexcept
{
    // Without its type library the object could not dispatch; refuse it whole.
    ComPtr<ITypeInfo> typeInfo = OwnTypeInfo(IID__Rawlet);
    if (!typeInfo)
        return TYPE_E_CANTLOADLIBRARY;
    auto* created = new (std::nothrow) RawletObject(std::move(typeInfo));
    if (created == nullptr)
        return E_OUTOFMEMORY;
    const HRESULT result = created->QueryInterface(riid, object);
    created->Release();
    return result;
}

HRESULT RawletObject::QueryInterface(REFIID riid, void** object) noexcept
{
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID__Rawlet)
        *object = static_cast<_Rawlet*>(this);
    else if (riid == IID_ISupportErrorInfo)
        *object = static_cast<ISupportErrorInfo*>(this);
    else if (riid == IID_IOleObject)
        *object = static_cast<IOleObject*>(&oleObject_);
    else if (riid == IID_IOleInPlaceObject || riid == IID_IOleWindow)
        *object = static_cast<IOleInPlaceObject*>(&inPlace_);
    else if (riid == IID_IOleInPlaceActiveObject)
        *object = static_cast<IOleInPlaceActiveObject*>(&inPlace_);
    else if (riid == IID_IOleControl)
        *object = static_cast<IOleControl*>(&oleControl_);
    else if (riid == IID_IQuickActivate)
        *object = static_cast<IQuickActivate*>(&quickActivation_);
    else if (riid == IID_IViewObject || riid == IID_IViewObject2)
        *object = static_cast<IViewObject2*>(&view_);
    else if (riid == IID_IPersistStreamInit || riid == IID_IPersist)
        *object = static_cast<IPersistStreamInit*>(&persistence_);
    else if (riid == IID_IPersistPropertyBag)
        *object = static_cast<IPersistPropertyBag*>(&persistence_);
    else if (riid == IID_IPersistStorage)
        *object = static_cast<IPersistStorage*>(&persistStorage_);
    else if (riid == IID_IProvideClassInfo || riid == IID_IProvideClassInfo2)
        *object = static_cast<IProvideClassInfo2*>(&classInfo_);
    else if (riid == IID_IConnectionPointContainer)
        *object = static_cast<IConnectionPointContainer*>(&connectionPoints_);
    else if (riid == __uuidof(ICategorizeProperties))
        *object = static_cast<ICategorizeProperties*>(&categories_);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG RawletObject::AddRef() noexcept { return ++references_; }

ULONG RawletObject::Release() noexcept
{
    const ULONG left = --references_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT RawletObject::GetTypeInfoCount(UINT* count) noexcept
{
    if (count == nullptr)
        return E_POINTER;
    *count = 1;
    return S_OK;
}

HRESULT RawletObject::GetTypeInfo(UINT index, LCID, ITypeInfo** info) noexcept
{
    if (info == nullptr)
        return E_POINTER;
    *info = nullptr;
    if (index != 0)
        return DISP_E_BADINDEX;
    *info = ComPtr<ITypeInfo>(typeInfo_).detach();
    return S_OK;
}

HRESULT RawletObject::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) noexcept
{
    if (riid != IID_NULL)
        return DISP_E_UNKNOWNINTERFACE;
    return typeInfo_->GetIDsOfNames(names, count, ids);
}

HRESULT RawletObject::Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                             EXCEPINFO* exception, UINT* argumentError) noexcept
{
    if (riid != IID_NULL)
        return DISP_E_UNKNOWNINTERFACE;
    if (params == nullptr)
        return E_INVALIDARG;
    SetErrorInfo(0, nullptr); // so only this call's error can reach the caller
    const HRESULT outcome =
        typeInfo_->Invoke(static_cast<_Rawlet*>(this), id, flags, params, result, exception, argumentError);
    return ToDispatchException(outcome, exception);
}

template <class Body> HRESULT RawletObject::Get(BSTR* value, Body&& body) noexcept
{
    if (value == nullptr)
        return E_POINTER;
    *value = nullptr;
    return Guarded([&] { *value = ToBstr(body()); });
}

HRESULT RawletObject::killDocument() noexcept
{
    return Guarded([&] { control_.killDocument(); });
}

HRESULT RawletObject::PrinterClose() noexcept
{
    return Guarded([&] { control_.PrinterClose(); });
}

HRESULT RawletObject::StartDoc() noexcept
{
    return Guarded([&] { control_.StartDoc(); });
}

HRESULT RawletObject::get_PrinterName(BSTR* value) noexcept
{
    return Get(value, [&] { return control_.PrinterName(); });
}

HRESULT RawletObject::put_PrinterName(BSTR value) noexcept
{
    return Guarded([&] { control_.SetPrinterName(ToAnsi(value)); });
}

HRESULT RawletObject::get_PrinterData(BSTR* value) noexcept
{
    return Get(value, [&] { return control_.PrinterData(); });
}

HRESULT RawletObject::put_PrinterData(BSTR value) noexcept
{
    return Guarded([&] { control_.SetPrinterData(ToAnsi(value)); });
}

HRESULT RawletObject::EndDoc() noexcept
{
    return Guarded([&] { control_.EndDoc(); });
}

HRESULT RawletObject::EndPage() noexcept
{
    return Guarded([&] { control_.EndPage(); });
}

HRESULT RawletObject::get_PrinterTranslate(VARIANT_BOOL* value) noexcept
{
    if (value == nullptr)
        return E_POINTER;
    *value = control_.PrinterTranslate() ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT RawletObject::put_PrinterTranslate(VARIANT_BOOL value) noexcept
{
    return Guarded([&] { control_.SetPrinterTranslate(value != VARIANT_FALSE); });
}

HRESULT RawletObject::get_PrinterDocumentName(BSTR* value) noexcept
{
    return Get(value, [&] { return control_.PrinterDocumentName(); });
}

HRESULT RawletObject::put_PrinterDocumentName(BSTR value) noexcept
{
    return Guarded([&] { control_.SetPrinterDocumentName(ToAnsi(value)); });
}

HRESULT RawletObject::About() noexcept
{
    return Guarded([&] { control_.About(); });
}

HRESULT RawletObject::InterfaceSupportsErrorInfo(REFIID riid) noexcept
{
    return riid == IID__Rawlet ? S_OK : S_FALSE;
}

} // namespace rawlet::activex
