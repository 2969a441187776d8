#include "job_bytes.h"

#include <cstring>
#include <fstream>
#include <random>
#include <vector>

#include <gnutls/crypto.h>

namespace rawlet::testing {

namespace {

class Sha256Digest {
public:
    Sha256Digest() { gnutls_hash_init(&hash_, GNUTLS_DIG_SHA256); }
    ~Sha256Digest() { gnutls_hash_deinit(hash_, nullptr); }
    Sha256Digest(const Sha256Digest&) = delete;
    Sha256Digest& operator=(const Sha256Digest&) = delete;

    void Add(std::string_view bytes) { gnutls_hash(hash_, bytes.data(), bytes.size()); }

    std::string Hex()
    {
        unsigned char digest[32];
        gnutls_hash_output(hash_, digest);
        static constexpr char kDigits[] = "0123456789abcdef";
        std::string hex;
        for (unsigned char byte : digest) {
            hex.push_back(kDigits[byte >> 4]);
            hex.push_back(kDigits[byte & 0xF]);
        }
        return hex;
    }

private:
    gnutls_hash_hd_t hash_ = nullptr;
};

} // namespace

std::string RandomBytes(std::uint64_t seed, std::size_t size)
{
    std::mt19937_64 random(seed);
    std::string bytes(size, '\0');
    for (std::size_t offset = 0; offset < size; offset += sizeof(std::uint64_t)) {
        const std::uint64_t word = random();
        std::memcpy(bytes.data() + offset, &word, std::min(sizeof word, size - offset));
    }
    return bytes;
}

std::string Sha256(std::string_view bytes)
{
    Sha256Digest digest;
    digest.Add(bytes);
    return digest.Hex();
}

std::string Sha256OfFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return "unreadable";
    Sha256Digest digest;
    std::vector<char> buffer(1 << 20);
    while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0)
        digest.Add({buffer.data(), static_cast<std::size_t>(in.gcount())});
    return digest.Hex();
}

} // namespace rawlet::testing
