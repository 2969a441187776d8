#include "module.h"

#include <atomic>

namespace rawlet::activex::module {

namespace {
HINSTANCE instance = nullptr;
std::atomic<long> objects{0};
std::atomic<long> locks{0};
} // namespace

void SetInstance(HINSTANCE value) noexcept { instance = value; }
HINSTANCE Instance() noexcept { return instance; }

std::wstring Path()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(instance, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2); // truncated: a long path
    }
}

void ObjectCreated() noexcept { ++objects; }
void ObjectDestroyed() noexcept { --objects; }
void Lock(bool lock) noexcept { lock ? ++locks : --locks; }
bool CanUnload() noexcept { return objects == 0 && locks == 0; }

} // namespace rawlet::activex::module
