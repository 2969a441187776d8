#pragma once

#include <windows.h> // first: the COM headers build on it

#include <ocidl.h>
#include <oleidl.h>

#include "com_ptr.h"
#include "connection_point.h"

namespace rawlet::activex {

// What the control knows of its container: the client site and the ambient user mode read
// from it, the size the control has given itself, whether its properties changed since they
// were last saved, and who wants to hear of changes (property-change sinks, the view's advise
// sink, the OLE advise sinks). Without a site the control runs in user mode, as for any
// script, and nobody is told anything but the connected sinks.
class Container {
public:
    // Property changes are told to the sinks of `propertyNotify` (IPropertyNotifySink).
    explicit Container(ConnectionPoint& propertyNotify) noexcept;
    Container(const Container&) = delete;
    Container& operator=(const Container&) = delete;

    // The container's site; reads the ambient user mode from it (none: user mode).
    void SetSite(ComPtr<IOleClientSite> site) noexcept;
    const ComPtr<IOleClientSite>& Site() const noexcept { return site_; }

    // The ambient UserMode as last read: false in a designer. Read when the site is set
    // and again when the container says its ambient properties changed.
    bool UserMode() const noexcept { return userMode_; }
    void RefreshUserMode() noexcept;
    // Asks the site now, for a container that switches modes without saying so; the mode
    // last read when the site cannot answer.
    bool AskUserMode() noexcept;
    // The mode a container told otherwise (quick activation).
    void SetUserMode(bool userMode) noexcept;

    // The control's size on its container, in HIMETRIC.
    SIZEL Extent() const noexcept { return extent_; }
    void SetSize(int widthTwips, int heightTwips) noexcept;

    // Tells the property-change sinks that the member `id` changed and marks the
    // properties as changed since the last save.
    void PropertyChanged(DISPID id);
    bool Dirty() const noexcept { return dirty_; }
    void SetDirty(bool dirty) noexcept { dirty_ = dirty; }

    // The view's advise sink (IViewObject::SetAdvise) and its wishes.
    void SetViewAdvise(DWORD aspects, DWORD flags, ComPtr<IAdviseSink> sink) noexcept;
    void GetViewAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) const noexcept;
    // Tells the view's advise sink that the picture changed.
    void ViewChanged() noexcept;

    // The holder of the OLE advise sinks (IOleObject::Advise), made on first use; null when
    // it cannot be made.
    IOleAdviseHolder* AdviseHolder() noexcept;

private:
    ConnectionPoint& propertyNotify_;
    ComPtr<IOleClientSite> site_;
    bool userMode_ = true;
    SIZEL extent_;
    bool dirty_ = false;
    DWORD viewAspects_ = 0;
    DWORD viewFlags_ = 0;
    ComPtr<IAdviseSink> viewSink_;
    ComPtr<IOleAdviseHolder> adviseHolder_;
};

} // namespace rawlet::activex
