#pragma once

#include <windows.h> // first: the COM headers build on it

#include <oaidl.h>
#include <ocidl.h>

#include <rawlet/platform/host.h>

namespace rawlet::activex {

// A container's IPropertyBag as the control's logic reads and writes it. Text crosses as
// BSTR in the ANSI code page, booleans as VARIANT_BOOL; a value stored as another type is
// converted when it can be. A failed write throws ComFailure with the bag's result.
class ComPropertyBag final : public platform::PropertyBag {
public:
    // `bag` (and `log`, which may be null) must outlive this object.
    ComPropertyBag(IPropertyBag& bag, IErrorLog* log) noexcept : bag_(bag), log_(log) {}

    std::optional<std::string> ReadText(std::string_view key, std::string_view fallback) override;
    std::optional<bool> ReadBoolean(std::string_view key, bool fallback) override;
    void WriteText(std::string_view key, std::string_view value) override;
    void WriteBoolean(std::string_view key, bool value) override;

private:
    enum class Read { Present, Absent, Unreadable };
    Read ReadAs(std::string_view key, VARTYPE type, VARIANT& value);
    void Write(std::string_view key, VARIANT& value);

    IPropertyBag& bag_;
    IErrorLog* log_;
};

} // namespace rawlet::activex
