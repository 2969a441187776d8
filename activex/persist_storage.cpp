#include "persist_storage.h"

namespace rawlet::activex {

namespace {

constexpr DWORD kReadMode = STGM_READ | STGM_SHARE_EXCLUSIVE;
constexpr DWORD kWriteMode = STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE;

} // namespace

HRESULT PersistStorage::GetClassID(CLSID* clsid) noexcept { return streams_.GetClassID(clsid); }

HRESULT PersistStorage::IsDirty() noexcept { return streams_.IsDirty(); }

HRESULT PersistStorage::InitNew(IStorage* storage) noexcept
{
    if (storage == nullptr)
        return E_POINTER;
    if (state_ != State::kUninitialised)
        return CO_E_ALREADYINITIALIZED;
    if (const HRESULT result = streams_.InitNew(); FAILED(result))
        return result;
    storage_ = ComPtr<IStorage>::Share(storage);
    state_ = State::kNormal;
    return S_OK;
}

// A storage without our stream is refused like a stream that is not ours: the control is
// left as it was, and may still be set up another way.
HRESULT PersistStorage::Load(IStorage* storage) noexcept
{
    if (storage == nullptr)
        return E_POINTER;
    if (state_ != State::kUninitialised)
        return CO_E_ALREADYINITIALIZED;
    ComPtr<IStream> stream;
    if (const HRESULT result = storage->OpenStream(kStreamName, nullptr, kReadMode, 0, stream.put());
        FAILED(result))
        return result;
    if (const HRESULT result = streams_.Load(stream.get()); FAILED(result))
        return result;
    storage_ = ComPtr<IStorage>::Share(storage);
    state_ = State::kNormal;
    return S_OK;
}

// The storage the properties were loaded from holds them now; another one (Save As, Save
// Copy As) does so only once SaveCompleted makes it the control's.
HRESULT PersistStorage::Save(IStorage* storage, BOOL sameAsLoad) noexcept
{
    if (storage == nullptr)
        return E_POINTER;
    if (state_ != State::kNormal)
        return E_UNEXPECTED;
    ComPtr<IStream> stream;
    if (const HRESULT result = storage->CreateStream(kStreamName, kWriteMode, 0, 0, stream.put());
        FAILED(result))
        return result;
    if (const HRESULT result = streams_.Save(stream.get(), sameAsLoad); FAILED(result))
        return result;
    state_ = State::kNoScribble;
    return S_OK;
}

HRESULT PersistStorage::SaveCompleted(IStorage* storage) noexcept
{
    const bool handsOff = state_ == State::kHandsOffFromNormal || state_ == State::kHandsOffAfterSave;
    if (!handsOff && state_ != State::kNoScribble)
        return E_UNEXPECTED;
    if (handsOff && storage == nullptr)
        return E_INVALIDARG;
    if (storage != nullptr) {
        storage_ = ComPtr<IStorage>::Share(storage);
        // After a save it holds what was saved; after HandsOffStorage alone, a copy of the
        // storage taken away, which may lack changes since the last save.
        if (state_ != State::kHandsOffFromNormal)
            container_.SetDirty(false);
    }
    state_ = State::kNormal;
    return S_OK;
}

HRESULT PersistStorage::HandsOffStorage() noexcept
{
    if (state_ == State::kNormal)
        state_ = State::kHandsOffFromNormal;
    else if (state_ == State::kNoScribble)
        state_ = State::kHandsOffAfterSave;
    else
        return E_UNEXPECTED;
    storage_.reset();
    return S_OK;
}

} // namespace rawlet::activex
