#include "engine/rop3.h"

#include <algorithm>

namespace gdi {
namespace {

constexpr uint8_t kBlackness = 0x00, kNotSrcErase = 0x11, kNotSrcCopy = 0x33, kSrcErase = 0x44, kDstInvert = 0x55,
                  kPatInvert = 0x5A, kSrcInvert = 0x66, kSrcAnd = 0x88, kMergePaint = 0xBB, kMergeCopy = 0xC0,
                  kSrcCopy = 0xCC, kSrcPaint = 0xEE, kPatCopy = 0xF0, kWhiteness = 0xFF;

template <class F>
void each(const uint32_t *p, const uint32_t *s, uint32_t *d, int count, F f) {
    for (int i = 0; i < count; ++i) d[i] = f(p ? p[i] : 0, s ? s[i] : 0, d[i]);
}

}  // namespace

uint32_t rop3(uint8_t index, uint32_t p, uint32_t s, uint32_t d) {
    uint32_t out = 0;
    for (int term = 0; term < 8; ++term)
        if (index >> term & 1) out |= (term & 4 ? p : ~p) & (term & 2 ? s : ~s) & (term & 1 ? d : ~d);
    return out;
}

// The common codes directly; any other through its truth table.
void rop3_row(uint8_t index, const uint32_t *p, const uint32_t *s, uint32_t *d, int count) {
    switch (index) {
    case kBlackness: std::fill(d, d + count, 0u); return;
    case kWhiteness: std::fill(d, d + count, ~0u); return;
    case kSrcCopy: std::copy(s, s + count, d); return;
    case kPatCopy: std::copy(p, p + count, d); return;
    case kNotSrcCopy: each(p, s, d, count, [](uint32_t, uint32_t s, uint32_t) { return ~s; }); return;
    case kDstInvert: each(p, s, d, count, [](uint32_t, uint32_t, uint32_t d) { return ~d; }); return;
    case kSrcAnd: each(p, s, d, count, [](uint32_t, uint32_t s, uint32_t d) { return s & d; }); return;
    case kSrcPaint: each(p, s, d, count, [](uint32_t, uint32_t s, uint32_t d) { return s | d; }); return;
    case kSrcInvert: each(p, s, d, count, [](uint32_t, uint32_t s, uint32_t d) { return s ^ d; }); return;
    case kSrcErase: each(p, s, d, count, [](uint32_t, uint32_t s, uint32_t d) { return s & ~d; }); return;
    case kNotSrcErase: each(p, s, d, count, [](uint32_t, uint32_t s, uint32_t d) { return ~(s | d); }); return;
    case kMergeCopy: each(p, s, d, count, [](uint32_t p, uint32_t s, uint32_t) { return p & s; }); return;
    case kMergePaint: each(p, s, d, count, [](uint32_t, uint32_t s, uint32_t d) { return ~s | d; }); return;
    case kPatInvert: each(p, s, d, count, [](uint32_t p, uint32_t, uint32_t d) { return p ^ d; }); return;
    default: each(p, s, d, count, [index](uint32_t p, uint32_t s, uint32_t d) { return rop3(index, p, s, d); });
    }
}

}  // namespace gdi
