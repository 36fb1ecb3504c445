#include "engine/simd_row_copies.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

namespace gdi {
namespace {

const bool kHaveSsse3 = __builtin_cpu_supports("ssse3");

// 16 pixels a step: four 16-byte loads of B, G, R, X become three 16-byte stores of B, G, R.
__attribute__((target("ssse3"))) int pack32_to_24(const uint8_t *src, uint8_t *dst, int count) {
    const __m128i drop_fourth = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    int done = 0;
    for (; done + 16 <= count; done += 16, src += 64, dst += 48) {
        __m128i a = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(src)), drop_fourth);
        __m128i b = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(src + 16)), drop_fourth);
        __m128i c = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(src + 32)), drop_fourth);
        __m128i d = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(src + 48)), drop_fourth);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst), _mm_or_si128(a, _mm_slli_si128(b, 12)));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + 16), _mm_or_si128(_mm_srli_si128(b, 4), _mm_slli_si128(c, 8)));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + 32), _mm_or_si128(_mm_srli_si128(c, 8), _mm_slli_si128(d, 4)));
    }
    return done;
}

// 16 pixels a step: three 16-byte loads of B, G, R become four stores of B, G, R, 0.
__attribute__((target("ssse3"))) int unpack24_to_32(const uint8_t *src, uint8_t *dst, int count) {
    const __m128i spread = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    int done = 0;
    for (; done + 16 <= count; done += 16, src += 48, dst += 64) {
        __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i *>(src));
        __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i *>(src + 16));
        __m128i z = _mm_loadu_si128(reinterpret_cast<const __m128i *>(src + 32));
        __m128i p0 = x, p1 = _mm_alignr_epi8(y, x, 12), p2 = _mm_alignr_epi8(z, y, 8), p3 = _mm_srli_si128(z, 4);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst), _mm_shuffle_epi8(p0, spread));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + 16), _mm_shuffle_epi8(p1, spread));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + 32), _mm_shuffle_epi8(p2, spread));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + 48), _mm_shuffle_epi8(p3, spread));
    }
    return done;
}

}  // namespace

int copy32_to_24_simd(const uint8_t *src, uint8_t *dst, int count) {
    return kHaveSsse3 ? pack32_to_24(src, dst, count) : 0;
}

int copy24_to_32_simd(const uint8_t *src, uint8_t *dst, int count) {
    return kHaveSsse3 ? unpack24_to_32(src, dst, count) : 0;
}

}  // namespace gdi

#else

namespace gdi {
int copy32_to_24_simd(const uint8_t *, uint8_t *, int) { return 0; }
int copy24_to_32_simd(const uint8_t *, uint8_t *, int) { return 0; }
}  // namespace gdi

#endif
