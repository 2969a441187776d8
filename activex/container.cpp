#include "container.h"

#include <olectl.h>
#include <optional>

#include "extent.h"
#include "variant.h"

namespace rawlet::activex {

namespace {

// The control's size in its designed layout, before the first resize snaps it to its icon.
constexpr int kDesignedWidth = 1050;
constexpr int kDesignedHeight = 855;

// The site's ambient UserMode; nothing when it cannot say (no site, no ambient dispatch, or
// a value that is not a boolean).
std::optional<bool> ReadUserMode(const ComPtr<IOleClientSite>& site) noexcept
{
    const auto ambient = site.As<IDispatch>();
    if (!ambient)
        return std::nullopt;
    DISPPARAMS none{};
    Variant value;
    const HRESULT result = ambient->Invoke(DISPID_AMBIENT_USERMODE, IID_NULL, LOCALE_USER_DEFAULT,
                                           DISPATCH_PROPERTYGET, &none, value.get(), nullptr, nullptr);
    if (FAILED(result) || VariantChangeType(value.get(), value.get(), 0, VT_BOOL) != S_OK)
        return std::nullopt;
    return value->boolVal != VARIANT_FALSE;
}

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
    // A container that does not say is an application, not a designer.
    SetUserMode(ReadUserMode(site_).value_or(true));
}

bool Container::AskUserMode() noexcept
{
    if (const std::optional<bool> userMode = ReadUserMode(site_))
        SetUserMode(*userMode);
    return userMode_;
}

void Container::SetUserMode(bool userMode) noexcept
{
    if (userMode == userMode_)
        return;
    userMode_ = userMode;
    ViewChanged(); // the icon shows at design time only
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
