#pragma once

// Job contents for the reliability tests: random bytes, reproducible from a seed, and the
// SHA-256 digests that tell whether a device received them unchanged.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace rawlet::testing {

// `size` random bytes, every byte value possible, the same for the same seed.
std::string RandomBytes(std::uint64_t seed, std::size_t size);

// The SHA-256 digest of `bytes` or of a file's contents, as 64 hexadecimal digits. A file
// that cannot be read has the digest "unreadable".
std::string Sha256(std::string_view bytes);
std::string Sha256OfFile(const std::filesystem::path& path);

} // namespace rawlet::testing
