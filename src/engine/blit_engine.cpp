#include "engine/blit_engine.h"

#include <algorithm>

#include "engine/pixel_access.h"
#include "engine/preconditions.h"
#include "engine/row_codecs.h"

namespace gdi {
namespace {

// Intermediate rows, kept between calls so that a blit allocates nothing once warm.
std::vector<uint32_t> &scratch(int which, size_t pixels) {
    thread_local std::vector<uint32_t> rows[2];
    if (rows[which].size() < pixels) rows[which].resize(pixels);
    return rows[which];
}

int bytes_per_pixel(const Surface &s) { return s.format->bpp / 8; }

uint32_t blend(uint32_t over, uint32_t under) {
    uint32_t a = over >> 24;
    if (a == 255) return over;
    if (a == 0) return under;
    uint32_t out = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        uint32_t o = (over >> shift) & 0xFF, u = (under >> shift) & 0xFF;
        out |= ((o * a + u * (255 - a) + 127) / 255) << shift;
    }
    return out;
}

}  // namespace

void copy_pixels(const Surface &src, int sx, int sy, const Surface &dst, int dx, int dy, int w, int h) {
    if (w <= 0 || h <= 0) return;
    require_inside(src, sx, sy, w, h, "copy_pixels (source)");
    require_inside(dst, dx, dy, w, h, "copy_pixels (destination)");
    const PixelFormat &in = *src.format, &out = *dst.format;
    // A block moving down its own surface is copied from the bottom up, so that no row is
    // overwritten before it is read.
    bool backwards = dst.bits == src.bits && dy > sy;
    if (RowCopy direct = direct_copy_for(in, out)) {
        int sbytes = bytes_per_pixel(src), dbytes = bytes_per_pixel(dst);
        for (int k = 0; k < h; ++k) {
            int i = backwards ? h - 1 - k : k;
            direct(src.row(sy + i) + sx * sbytes, dst.row(dy + i) + dx * dbytes, w);
        }
        return;
    }
    auto [read, write] = codecs_for(in, out);
    uint32_t *row = scratch(0, size_t(w)).data();
    for (int k = 0; k < h; ++k) {
        int i = backwards ? h - 1 - k : k;
        read(in, src.row(sy + i), sx, w, row);
        write(out, row, w, dst.row(dy + i), dx);
    }
}

void fill_pixels(const Surface &dst, int x, int y, int w, int h, uint32_t bgra) {
    if (w <= 0 || h <= 0) return;
    require_inside(dst, x, y, w, h, "fill_pixels");
    const PixelFormat &out = *dst.format;
    RowWriter write = writer_for(out);
    std::vector<uint32_t> &row = scratch(0, size_t(w));
    std::fill(row.begin(), row.begin() + w, bgra);
    for (int i = 0; i < h; ++i) write(out, row.data(), w, dst.row(y + i), x);
}

void stretch_pixels(const Surface &src, const AxisMap &columns, const AxisMap &rows, const Surface &dst) {
    if (columns.source.empty() || rows.source.empty()) return;
    const PixelFormat &in = *src.format, &out = *dst.format;
    RowReader read = reader_for(in);
    RowWriter write = writer_for(out);
    auto [lo, hi] = std::minmax(columns.source.front(), columns.source.back());
    int span = hi - lo + 1;
    int count = int(columns.source.size());
    if (checks_preconditions()) {
        auto [top, bottom] = std::minmax_element(rows.source.begin(), rows.source.end());
        require_inside(src, lo, *top, span, *bottom - *top + 1, "stretch_pixels (source)");
        require_inside(dst, columns.first, rows.first, count, int(rows.source.size()), "stretch_pixels (destination)");
    }
    uint32_t *source_row = scratch(0, size_t(span)).data();
    uint32_t *target_row = scratch(1, size_t(count)).data();
    int loaded = -1;
    for (size_t j = 0; j < rows.source.size(); ++j) {
        int sy = rows.source[j];
        if (sy != loaded) {  // consecutive destination rows often repeat a source row
            read(in, src.row(sy), lo, span, source_row);
            for (int i = 0; i < count; ++i) target_row[i] = source_row[columns.source[size_t(i)] - lo];
            loaded = sy;
        }
        write(out, target_row, count, dst.row(rows.first + int(j)), columns.first);
    }
}

void draw_pixels(const uint32_t *pixels, int pitch, const Surface &dst, int dx, int dy, int w, int h, bool blend_alpha) {
    if (w <= 0 || h <= 0) return;
    require_inside(dst, dx, dy, w, h, "draw_pixels");
    const PixelFormat &out = *dst.format;
    RowReader read = reader_for(out);
    RowWriter write = writer_for(out);
    uint32_t *row = scratch(0, size_t(w)).data();
    for (int y = 0; y < h; ++y) {
        const uint32_t *line = pixels + ptrdiff_t(y) * pitch;
        uint8_t *target = dst.row(dy + y);
        if (blend_alpha) {
            read(out, target, dx, w, row);
            for (int x = 0; x < w; ++x) row[x] = blend(line[x], row[x]);
            write(out, row, w, target, dx);
        } else {
            write(out, line, w, target, dx);
        }
    }
}

void read_bgra(const Surface &src, uint32_t *out) {
    RowReader read = reader_for(*src.format);
    uint32_t alpha = src.format->has_alpha ? 0 : pixel::kOpaque;
    for (int y = 0; y < src.height; ++y) {
        uint32_t *row = out + ptrdiff_t(y) * src.width;
        read(*src.format, src.row(y), 0, src.width, row);
        for (int x = 0; x < src.width; ++x) row[x] |= alpha;
    }
}

}  // namespace gdi
