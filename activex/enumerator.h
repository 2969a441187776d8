#pragma once

#include <windows.h> // first: the COM headers build on it

#include <atomic>
#include <new>
#include <ocidl.h>
#include <vector>

namespace rawlet::activex {

// What an enumerator holds of an item: one reference to its object.
inline void Hold(IConnectionPoint* point) noexcept { point->AddRef(); }
inline void Drop(IConnectionPoint* point) noexcept { point->Release(); }
inline void Hold(const CONNECTDATA& connection) noexcept { connection.pUnk->AddRef(); }
inline void Drop(const CONNECTDATA& connection) noexcept { connection.pUnk->Release(); }

// A snapshot enumerator (IEnumConnectionPoints, IEnumConnections): the items as they were
// when it was made, each held until the enumerator goes; every item handed out carries a
// reference of its own for the caller.
template <class IEnum, class Item> class Enumerator final : public IEnum {
public:
    // Hands out a new enumerator over `items`, starting at `position`.
    static HRESULT Create(const std::vector<Item>& items, std::size_t position, IEnum** result) noexcept
    {
        if (result == nullptr)
            return E_POINTER;
        *result = nullptr;
        try {
            *result = new Enumerator(items, position);
            return S_OK;
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) noexcept override
    {
        if (object == nullptr)
            return E_POINTER;
        if (riid != IID_IUnknown && riid != __uuidof(IEnum)) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IEnum*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() noexcept override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() noexcept override
    {
        const ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE Next(ULONG count, Item* items, ULONG* fetched) noexcept override
    {
        if (items == nullptr || (fetched == nullptr && count != 1))
            return E_POINTER;
        ULONG taken = 0;
        for (; taken < count && position_ < items_.size(); ++taken, ++position_) {
            items[taken] = items_[position_];
            Hold(items[taken]);
        }
        if (fetched != nullptr)
            *fetched = taken;
        return taken == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) noexcept override
    {
        const std::size_t left = items_.size() - position_;
        position_ += count < left ? count : left;
        return count <= left ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() noexcept override
    {
        position_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnum** copy) noexcept override
    {
        return Create(items_, position_, copy);
    }

private:
    Enumerator(const std::vector<Item>& items, std::size_t position) : items_(items), position_(position)
    {
        for (const Item& item : items_)
            Hold(item);
    }
    ~Enumerator()
    {
        for (const Item& item : items_)
            Drop(item);
    }

    std::atomic<ULONG> references_{1};
    std::vector<Item> items_;
    std::size_t position_;
};

} // namespace rawlet::activex
