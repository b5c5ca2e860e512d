#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

// Unsigned values as bytes in little-endian order (every format the program reads or writes)
// and in network order (the addresses inside DirectPlay messages). The one place where values
// are taken apart into bytes and put together again: the byte reader and writers use these.
namespace scopewatch::byte_order {

// The value of sizeof(Unsigned) little-endian bytes: on a little-endian machine, one load.
template <typename Unsigned>
Unsigned LoadLittle(const uint8_t* from) {
    Unsigned value = 0;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(&value, from, sizeof value);
    } else {
        for (size_t i = 0; i < sizeof value; ++i) {
            value = static_cast<Unsigned>(value | (static_cast<Unsigned>(from[i]) << (8 * i)));
        }
    }
    return value;
}

template <typename Unsigned>
void StoreLittle(uint8_t* to, Unsigned value) {
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(to, &value, sizeof value);
    } else {
        for (size_t i = 0; i < sizeof value; ++i) {
            to[i] = static_cast<uint8_t>(value >> (8 * i));
        }
    }
}

// The same with the most significant byte first.
template <typename Unsigned>
Unsigned LoadNetwork(const uint8_t* from) {
    Unsigned value = 0;
    for (size_t i = 0; i < sizeof value; ++i) {
        value = static_cast<Unsigned>((value << 8) | from[i]);
    }
    return value;
}

template <typename Unsigned>
void StoreNetwork(uint8_t* to, Unsigned value) {
    for (size_t i = 0; i < sizeof value; ++i) {
        to[sizeof value - 1 - i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

}  // namespace scopewatch::byte_order
