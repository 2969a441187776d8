#include "stream_format.h"

#include <algorithm>
#include <cstring>

#include "com_error.h"

namespace rawlet::activex::stream_format {

namespace {

constexpr char kMark[4] = {'R', 'w', 'L', 't'};
constexpr std::size_t kHeaderSize = 12;
constexpr std::uint8_t kText = 1;
constexpr std::uint8_t kBoolean = 2;

void PutInteger(std::string& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

[[noreturn]] void Corrupt() { throw ComFailure{STG_E_DOCFILECORRUPT}; }

// Takes bytes off the front of a body, refusing to run past its end.
class Reader {
public:
    explicit Reader(std::string_view bytes) noexcept : bytes_(bytes) {}
    bool done() const noexcept { return bytes_.empty(); }
    std::uint32_t Integer(int size)
    {
        const std::string_view bytes = Bytes(static_cast<std::size_t>(size));
        std::uint32_t value = 0;
        for (int i = size - 1; i >= 0; --i)
            value = (value << 8) | static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
        return value;
    }
    std::string_view Bytes(std::size_t count)
    {
        if (count > bytes_.size())
            Corrupt();
        const std::string_view taken = bytes_.substr(0, count);
        bytes_.remove_prefix(count);
        return taken;
    }

private:
    std::string_view bytes_;
};

// Reads exactly `count` bytes; a stream that has fewer is corrupt. Grows the buffer as the
// bytes arrive, so a garbage length costs no more memory than the stream really holds.
std::string ReadExactly(IStream& stream, std::size_t count)
{
    constexpr std::size_t kChunk = 64 * 1024;
    std::string bytes;
    while (bytes.size() < count) {
        const std::size_t want = std::min(kChunk, count - bytes.size());
        const std::size_t had = bytes.size();
        bytes.resize(had + want);
        ULONG got = 0;
        Check(stream.Read(bytes.data() + had, static_cast<ULONG>(want), &got));
        if (got == 0)
            Corrupt();
        bytes.resize(had + std::min<std::size_t>(got, want));
    }
    return bytes;
}

} // namespace

std::optional<std::string> Properties::ReadText(std::string_view key, std::string_view fallback)
{
    const auto found = values_.find(key);
    if (found == values_.end())
        return std::string(fallback);
    if (const auto* text = std::get_if<std::string>(&found->second))
        return *text;
    return std::nullopt;
}

std::optional<bool> Properties::ReadBoolean(std::string_view key, bool fallback)
{
    const auto found = values_.find(key);
    if (found == values_.end())
        return fallback;
    if (const auto* boolean = std::get_if<bool>(&found->second))
        return *boolean;
    return std::nullopt;
}

void Properties::WriteText(std::string_view key, std::string_view value)
{
    values_.insert_or_assign(std::string(key), std::string(value));
}

void Properties::WriteBoolean(std::string_view key, bool value)
{
    values_.insert_or_assign(std::string(key), value);
}

std::string Encode(const Properties& properties)
{
    std::string body;
    for (const auto& [key, value] : properties.values()) {
        PutInteger(body, static_cast<std::uint32_t>(key.size()), 1);
        body += key;
        if (const auto* text = std::get_if<std::string>(&value)) {
            PutInteger(body, kText, 1);
            PutInteger(body, static_cast<std::uint32_t>(text->size()), 4);
            body += *text;
        } else {
            PutInteger(body, kBoolean, 1);
            PutInteger(body, std::get<bool>(value) ? 1 : 0, 1);
        }
    }
    if (body.size() > kMaxBody)
        throw ComFailure{STG_E_MEDIUMFULL};
    std::string bytes(kMark, sizeof kMark);
    PutInteger(bytes, kVersion, 2);
    PutInteger(bytes, 0, 2);
    PutInteger(bytes, static_cast<std::uint32_t>(body.size()), 4);
    return bytes + body;
}

Properties Read(IStream& stream)
{
    const std::string header = ReadExactly(stream, kHeaderSize);
    Reader fields(header);
    if (fields.Bytes(sizeof kMark) != std::string_view(kMark, sizeof kMark) || fields.Integer(2) != kVersion)
        throw ComFailure{STG_E_INVALIDHEADER};
    if (fields.Integer(2) != 0)
        throw ComFailure{STG_E_INVALIDHEADER}; // flags only a later version knows
    const std::uint32_t length = fields.Integer(4);
    if (length > kMaxBody)
        Corrupt();

    const std::string body = ReadExactly(stream, length);
    Reader records(body);
    Properties properties;
    while (!records.done()) {
        const std::size_t keyLength = records.Integer(1);
        if (keyLength == 0)
            Corrupt();
        std::string key(records.Bytes(keyLength));
        switch (records.Integer(1)) {
        case kText:
            properties.WriteText(key, records.Bytes(records.Integer(4)));
            break;
        case kBoolean: {
            const std::uint32_t value = records.Integer(1);
            if (value > 1)
                Corrupt();
            properties.WriteBoolean(key, value == 1);
            break;
        }
        default:
            Corrupt();
        }
    }
    return properties;
}

void Write(IStream& stream, const Properties& properties)
{
    const std::string bytes = Encode(properties);
    ULONG written = 0;
    Check(stream.Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written));
    if (written != bytes.size())
        throw ComFailure{STG_E_WRITEFAULT};
}

} // namespace rawlet::activex::stream_format
