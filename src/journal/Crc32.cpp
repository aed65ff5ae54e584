#include "Crc32.h"

#include <array>
#include <bit>
#include <cstring>

namespace zanfeld {
namespace {

// Eight tables, so that eight bytes are taken per step: a run log record is
// checksummed on the run's thread.
using Tables = std::array<std::array<uint32_t, 256>, 8>;

Tables MakeTables() {
    Tables t{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[0][i] = c;
    }
    for (uint32_t i = 0; i < 256; ++i)
        for (size_t k = 1; k < t.size(); ++k)
            t[k][i] = t[0][t[k - 1][i] & 0xff] ^ (t[k - 1][i] >> 8);
    return t;
}

}  // namespace

uint32_t Crc32(const void* data, size_t size, uint32_t crc) {
    static const Tables t = MakeTables();
    const auto* p = static_cast<const unsigned char*>(data);
    crc = ~crc;
    if constexpr (std::endian::native == std::endian::little) {
        while (size >= 8) {
            uint32_t one, two;
            std::memcpy(&one, p, 4);
            std::memcpy(&two, p + 4, 4);
            one ^= crc;
            crc = t[7][one & 0xff] ^ t[6][(one >> 8) & 0xff] ^ t[5][(one >> 16) & 0xff] ^
                  t[4][one >> 24] ^ t[3][two & 0xff] ^ t[2][(two >> 8) & 0xff] ^
                  t[1][(two >> 16) & 0xff] ^ t[0][two >> 24];
            p += 8;
            size -= 8;
        }
    }
    while (size-- > 0) crc = t[0][(crc ^ *p++) & 0xff] ^ (crc >> 8);
    return ~crc;
}

}  // namespace zanfeld
