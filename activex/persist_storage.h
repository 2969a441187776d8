#pragma once

#include <windows.h> // first: the COM headers build on it

#include <objidl.h>

#include "com_ptr.h"
#include "container.h"
#include "interface_part.h"
#include "persistence.h"

namespace rawlet::activex {

// The control embedded in a container's structured storage (IPersistStorage), as OleCreate,
// OleSave and OleLoad drive it. The saved properties are one stream in that storage, in the
// same format and with the same checks as IPersistStreamInit's stream (`streams`).
//
// The storage states are COM's: uninitialised until InitNew or Load; normal, holding the
// storage; no-scribble from Save until SaveCompleted; hands-off (holding nothing) from
// HandsOffStorage until SaveCompleted gives a storage back. The control writes only in Save,
// and only in the normal state.
class PersistStorage final : public InterfacePart<IPersistStorage> {
public:
    // The stream's name in the container's storage.
    static constexpr const wchar_t* kStreamName = L"Contents";

    PersistStorage(IUnknown& outer, Persistence& streams, Container& container) noexcept
        : InterfacePart(outer), streams_(streams), container_(container)
    {}

    // IPersist
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) noexcept override;

    // IPersistStorage
    HRESULT STDMETHODCALLTYPE IsDirty() noexcept override;
    HRESULT STDMETHODCALLTYPE InitNew(IStorage* storage) noexcept override;
    HRESULT STDMETHODCALLTYPE Load(IStorage* storage) noexcept override;
    HRESULT STDMETHODCALLTYPE Save(IStorage* storage, BOOL sameAsLoad) noexcept override;
    HRESULT STDMETHODCALLTYPE SaveCompleted(IStorage* storage) noexcept override;
    HRESULT STDMETHODCALLTYPE HandsOffStorage() noexcept override;

private:
    enum class State { kUninitialised, kNormal, kNoScribble, kHandsOffFromNormal, kHandsOffAfterSave };

    Persistence& streams_;
    Container& container_;
    State state_ = State::kUninitialised;
    ComPtr<IStorage> storage_;
};

} // namespace rawlet::activex
