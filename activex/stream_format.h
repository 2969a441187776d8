#pragma once

#include <windows.h> // first: the COM headers build on it

#include <map>
#include <objidl.h>
#include <string>
#include <variant>

#include <rawlet/platform/host.h>

// The control's properties in a container's stream (IPersistStreamInit), a format of our
// own, little-endian throughout:
//
//   "RwLt"                      4 bytes, the format's mark
//   version                     2 bytes, 1
//   flags                       2 bytes, 0
//   body length                 4 bytes, the bytes that follow
//   body: records, each
//     key length, key           1 byte, then that many bytes (ASCII)
//     type                      1 byte: 1 text, 2 boolean
//     text: length, bytes       4 bytes, then that many bytes (ANSI, as the control keeps them)
//     boolean                   1 byte, 0 or 1
//
// Reading takes exactly the header and the body, so whatever the container stored after
// them stays where it is. A later version may add record types; this one refuses them.
namespace rawlet::activex::stream_format {

inline constexpr std::uint16_t kVersion = 1;
// Larger bodies are taken for garbage rather than allocated.
inline constexpr std::uint32_t kMaxBody = 1u << 30;

// The saved properties, by key: what the control's Save writes and its Load reads.
class Properties final : public platform::PropertyBag {
public:
    using Value = std::variant<std::string, bool>;

    std::optional<std::string> ReadText(std::string_view key, std::string_view fallback) override;
    std::optional<bool> ReadBoolean(std::string_view key, bool fallback) override;
    void WriteText(std::string_view key, std::string_view value) override;
    void WriteBoolean(std::string_view key, bool value) override;

    const std::map<std::string, Value, std::less<>>& values() const noexcept { return values_; }
    std::map<std::string, Value, std::less<>>& values() noexcept { return values_; }

private:
    std::map<std::string, Value, std::less<>> values_;
};

// The bytes that store `properties`, header included.
std::string Encode(const Properties& properties);

// Reads one stored record set from `stream`. Throws ComFailure: STG_E_INVALIDHEADER for a
// stream that is not ours or of an unknown version, STG_E_DOCFILECORRUPT for one that ends
// early or whose body does not parse, or the stream's own failure.
Properties Read(IStream& stream);

// Writes `properties` to `stream`. Throws ComFailure with the stream's failure.
void Write(IStream& stream, const Properties& properties);

} // namespace rawlet::activex::stream_format
