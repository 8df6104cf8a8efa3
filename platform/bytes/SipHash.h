// SipHash.h: SipHash-2-4, a keyed hash of short inputs. With a secret key its 64-bit value
// proves that whoever holds the key made the bytes, which a checksum cannot.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

using SipKey = std::array<std::uint8_t, 16>;

namespace siphash_detail {

inline std::uint64_t Load64(const std::uint8_t* p)
{
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

inline std::uint64_t Rotl(std::uint64_t x, int b) { return (x << b) | (x >> (64 - b)); }

struct State {
    std::uint64_t v0, v1, v2, v3;

    void Round()
    {
        v0 += v1; v1 = Rotl(v1, 13); v1 ^= v0; v0 = Rotl(v0, 32);
        v2 += v3; v3 = Rotl(v3, 16); v3 ^= v2;
        v0 += v3; v3 = Rotl(v3, 21); v3 ^= v0;
        v2 += v1; v1 = Rotl(v1, 17); v1 ^= v2; v2 = Rotl(v2, 32);
    }

    void Absorb(std::uint64_t m)
    {
        v3 ^= m;
        Round();
        Round();
        v0 ^= m;
    }
};

}  // namespace siphash_detail

inline std::uint64_t SipHash24(const SipKey& key, const std::uint8_t* data, std::size_t size)
{
    using namespace siphash_detail;
    const std::uint64_t k0 = Load64(key.data()), k1 = Load64(key.data() + 8);
    State s{k0 ^ 0x736f6d6570736575ull, k1 ^ 0x646f72616e646f6dull, k0 ^ 0x6c7967656e657261ull,
            k1 ^ 0x7465646279746573ull};
    const std::size_t whole = size - size % 8;
    for (std::size_t i = 0; i < whole; i += 8)
        s.Absorb(Load64(data + i));
    std::uint64_t last = static_cast<std::uint64_t>(size & 0xff) << 56;
    for (std::size_t i = whole; i < size; ++i)
        last |= static_cast<std::uint64_t>(data[i]) << (8 * (i - whole));
    s.Absorb(last);
    s.v2 ^= 0xff;
    for (int i = 0; i < 4; ++i)
        s.Round();
    return s.v0 ^ s.v1 ^ s.v2 ^ s.v3;
}

// Equal or not, in a time that does not tell where two tags first differ; the volatile sum also
// keeps the compiler from turning it back into one comparison of the two values.
inline bool SameTag(std::uint64_t a, std::uint64_t b)
{
    volatile std::uint64_t diff = 0;
    for (int i = 0; i < 8; ++i)
        diff = diff | (((a ^ b) >> (8 * i)) & 0xff);
    return diff == 0;
}
