#include "Crc32.h"

#include <array>
#include <bit>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

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

// The register over size bytes, eight at a time and then one by one.
uint32_t ByTables(const unsigned char* p, size_t size, uint32_t crc) {
    static const Tables t = MakeTables();
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
    return crc;
}

#if defined(__x86_64__)

#define ZANFELD_FOLDS __attribute__((target("pclmul,sse4.1")))

ZANFELD_FOLDS inline __m128i Load(const unsigned char* at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

// x's high half times k's high half and its low half times k's low half,
// added to next.
ZANFELD_FOLDS inline __m128i Fold(__m128i x, __m128i k, __m128i next) {
    return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x11), next),
                         _mm_clmulepi64_si128(x, k, 0x00));
}

// Carry-less multiplication folds 64 bytes a step where the processor has
// it (Intel, "Fast CRC Computation for Generic Polynomials Using PCLMULQDQ",
// the constants of the bit-reflected 0xEDB88320): a run's record takes a
// fraction of the tables' time. size is a multiple of 16, at least 64.
ZANFELD_FOLDS uint32_t ByFolding(const unsigned char* p, size_t size, uint32_t crc) {
    const __m128i k1k2 = _mm_set_epi64x(0x01c6e41596, 0x0154442bd4);
    const __m128i k3k4 = _mm_set_epi64x(0x00ccaa009e, 0x01751997d0);
    const __m128i k5k0 = _mm_set_epi64x(0, 0x0163cd6124);
    const __m128i poly = _mm_set_epi64x(0x01f7011641, 0x01db710641);
    const __m128i low32 = _mm_setr_epi32(~0, 0, ~0, 0);

    __m128i x1 = _mm_xor_si128(Load(p), _mm_cvtsi32_si128(static_cast<int>(crc)));
    __m128i x2 = Load(p + 16);
    __m128i x3 = Load(p + 32);
    __m128i x4 = Load(p + 48);
    p += 64;
    size -= 64;
    for (; size >= 64; p += 64, size -= 64) {
        x1 = Fold(x1, k1k2, Load(p));
        x2 = Fold(x2, k1k2, Load(p + 16));
        x3 = Fold(x3, k1k2, Load(p + 32));
        x4 = Fold(x4, k1k2, Load(p + 48));
    }
    // Four lanes into one, then 16 bytes a step.
    x1 = Fold(x1, k3k4, x2);
    x1 = Fold(x1, k3k4, x3);
    x1 = Fold(x1, k3k4, x4);
    for (; size >= 16; p += 16, size -= 16) x1 = Fold(x1, k3k4, Load(p));

    // 128 bits to 64, then Barrett's reduction to 32.
    __m128i x2r = _mm_clmulepi64_si128(x1, k3k4, 0x10);
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), x2r);
    x2r = _mm_srli_si128(x1, 4);
    x1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, low32), k5k0, 0x00), x2r);
    x2r = _mm_clmulepi64_si128(_mm_and_si128(x1, low32), poly, 0x10);
    x2r = _mm_clmulepi64_si128(_mm_and_si128(x2r, low32), poly, 0x00);
    x1 = _mm_xor_si128(x1, x2r);
    return static_cast<uint32_t>(_mm_extract_epi32(x1, 1));
}

bool Folds() {
    static const bool folds = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
    }();
    return folds;
}

#endif

}  // namespace

uint32_t Crc32(const void* data, size_t size, uint32_t crc) {
    const auto* p = static_cast<const unsigned char*>(data);
    crc = ~crc;
#if defined(__x86_64__)
    if (size >= 64 && Folds()) {
        const size_t folded = size & ~static_cast<size_t>(15);
        crc = ByFolding(p, folded, crc);
        p += folded;
        size -= folded;
    }
#endif
    return ~ByTables(p, size, crc);
}

}  // namespace zanfeld
