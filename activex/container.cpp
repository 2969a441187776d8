#include "container.h"

#include <olectl.h>

#include "extent.h"
#include "variant.h"

namespace rawlet::activex {

namespace {

// The control's size in its designed layout, before the first resize snaps it to its icon.
constexpr int kDesignedWidth = 1050;
constexpr int kDesignedHeight = 855;

} // namespace

Container::Container(ConnectionPoint& propertyNotify) noexcept
    : propertyNotify_(propertyNotify), extent_{extent::TwipsToHimetric(kDesignedWidth),
                                               extent::TwipsToHimetric(kDesignedHeight)}
{}

void Container::SetSite(ComPtr<IOleClientSite> site) noexcept
{
    site_ = std::move(site);
    RefreshUserMode();
}

void Container::RefreshUserMode() noexcept
{
    bool userMode = true; // a container that does not say is an application, not a designer
    if (const auto ambient = site_.As<IDispatch>()) {
        DISPPARAMS none{};
        Variant value;
        const HRESULT result = ambient->Invoke(DISPID_AMBIENT_USERMODE, IID_NULL, LOCALE_USER_DEFAULT,
                                               DISPATCH_PROPERTYGET, &none, value.get(), nullptr, nullptr);
        if (SUCCEEDED(result) && VariantChangeType(value.get(), value.get(), 0, VT_BOOL) == S_OK)
            userMode = value->boolVal != VARIANT_FALSE;
    }
    if (userMode != userMode_) {
        userMode_ = userMode;
        ViewChanged(); // the icon shows at design time only
    }
}

void Container::SetSize(int widthTwips, int heightTwips) noexcept
{
    const SIZEL size{extent::TwipsToHimetric(widthTwips), extent::TwipsToHimetric(heightTwips)};
    if (size.cx == extent_.cx && size.cy == extent_.cy)
        return;
    extent_ = size;
    ViewChanged();
}

void Container::PropertyChanged(DISPID id)
{
    dirty_ = true;
    for (const ComPtr<IUnknown>& sink : propertyNotify_.Sinks())
        static_cast<IPropertyNotifySink*>(sink.get())->OnChanged(id); // connected as IPropertyNotifySink
}

void Container::SetViewAdvise(DWORD aspects, DWORD flags, ComPtr<IAdviseSink> sink) noexcept
{
    viewAspects_ = aspects;
    viewFlags_ = flags;
    viewSink_ = std::move(sink);
}

void Container::GetViewAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) const noexcept
{
    if (aspects != nullptr)
        *aspects = viewAspects_;
    if (flags != nullptr)
        *flags = viewFlags_;
    if (sink != nullptr)
        *sink = ComPtr<IAdviseSink>(viewSink_).detach();
}

void Container::ViewChanged() noexcept
{
    if (!viewSink_ || (viewAspects_ & DVASPECT_CONTENT) == 0)
        return;
    const ComPtr<IAdviseSink> sink = viewSink_; // ADVF_ONLYONCE may drop it below
    if (viewFlags_ & ADVF_ONLYONCE)
        viewSink_.reset();
    sink->OnViewChange(DVASPECT_CONTENT, -1);
}

IOleAdviseHolder* Container::AdviseHolder() noexcept
{
    if (!adviseHolder_ && FAILED(CreateOleAdviseHolder(adviseHolder_.put())))
        adviseHolder_.reset();
    return adviseHolder_.get();
}

} // namespace rawlet::activex
