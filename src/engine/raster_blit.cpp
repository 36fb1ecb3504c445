#include "engine/raster_blit.h"

#include <algorithm>

#include "engine/packed_rows.h"
#include "engine/preconditions.h"
#include "engine/rop3.h"
#include "engine/row_codecs.h"

namespace gdi {
namespace {

constexpr uint8_t kSrcCopy = 0xCC;

enum Row { kLine, kSource, kPackedSource, kPackedPattern, kPackedDest, kPatternColours, kPatternLine, kRows };

// Rows kept between calls, so that a blit allocates nothing once warm.
uint32_t *scratch(Row which, size_t pixels) {
    thread_local std::vector<uint32_t> rows[kRows];
    if (rows[which].size() < pixels) rows[which].resize(pixels);
    return rows[which].data();
}

int wrap(int64_t v, int n) { return int(((v % n) + n) % n); }

int count_at(const AxisMap &map, size_t i) { return map.count.empty() ? 1 : map.count[i]; }

// The pattern over columns x .. x + count - 1 of destination row y, as the destination stores it.
void pattern_row(const RasterJob &job, const PixelFormat &format, int x, int y, int count, uint32_t *out) {
    uint32_t *colours = scratch(kPatternColours, size_t(count));
    if (const Surface *image = job.pattern.image) {
        uint32_t *line = scratch(kPatternLine, size_t(image->width));
        reader_for(*image->format)(*image->format, image->row(wrap(int64_t(y) - job.pattern_y, image->height)), 0,
                                   image->width, line);
        for (int i = 0, px = wrap(int64_t(x) - job.pattern_x, image->width); i < count; ++i) {
            colours[i] = line[px];
            if (++px == image->width) px = 0;
        }
    } else {
        std::fill(colours, colours + count, job.pattern.colour);
    }
    pack_row(format, colours, count, out);
}

// Writes count source colours (null: no source) to row y of dst from column x through the operation.
void output_row(const Surface &dst, int x, int y, int count, const uint32_t *source, const RasterJob &job) {
    const PixelFormat &format = *dst.format;
    uint8_t *row = dst.row(y);
    if (job.rop == kSrcCopy) {
        writer_for(format)(format, source, count, row, x);
        return;
    }
    uint32_t *s = nullptr, *p = nullptr, *d = scratch(kPackedDest, size_t(count));
    if (source && rop3_uses_source(job.rop)) {
        s = scratch(kPackedSource, size_t(count));
        pack_row(format, source, count, s);
    }
    if (rop3_uses_pattern(job.rop)) {
        p = scratch(kPackedPattern, size_t(count));
        pattern_row(job, format, x, y, count, p);
    }
    if (rop3_uses_destination(job.rop)) load_packed(format, row, x, count, d);
    rop3_row(job.rop, p, s, d, count);
    store_packed(format, d, count, row, x);
}

uint32_t merged(Merge merge, uint32_t a, uint32_t b) { return merge == Merge::Or ? a | b : a & b; }

// Per-channel sums for averaging, one set of four per destination column.
struct Sums {
    void reset(int columns) {
        values.assign(size_t(columns) * 5, 0);
    }
    void add(int i, uint32_t c) {
        uint64_t *v = &values[size_t(i) * 5];
        for (int k = 0; k < 4; ++k) v[k] += (c >> (8 * k)) & 0xFF;
        ++v[4];
    }
    uint32_t mean(int i) const {
        const uint64_t *v = &values[size_t(i) * 5];
        uint32_t out = 0;
        for (int k = 0; k < 4; ++k) out |= uint32_t((v[k] + v[4] / 2) / v[4]) << (8 * k);
        return out;
    }
    std::vector<uint64_t> values;
};

// The source colours of destination row j: its source rows read, each reduced to the destination
// columns, and merged.
class SourceRows {
public:
    SourceRows(const Surface &src, const AxisMap &columns, Merge merge) : src_(src), columns_(columns), merge_(merge) {
        size_t last = columns.source.size() - 1;
        lo_ = std::min(columns.source.front(), columns.source[last]);
        int hi = std::max(columns.source.front() + count_at(columns, 0), columns.source[last] + count_at(columns, last));
        span_ = hi - lo_;
    }
    int span() const { return span_; }
    int first_column() const { return lo_; }

    void read(int sy, int rows, uint32_t *out) {
        RowReader read = reader_for(*src_.format);
        int count = int(columns_.source.size());
        uint32_t *line = scratch(kLine, size_t(span_));
        if (merge_ == Merge::Average) sums_.reset(count);
        for (int r = 0; r < rows; ++r) {
            read(*src_.format, src_.row(sy + r), lo_, span_, line);
            for (int i = 0; i < count; ++i) {
                const uint32_t *group = line + (columns_.source[size_t(i)] - lo_);
                int n = count_at(columns_, size_t(i));
                if (merge_ == Merge::Average) {
                    for (int k = 0; k < n; ++k) sums_.add(i, group[k]);
                    continue;
                }
                uint32_t v = group[0];
                for (int k = 1; k < n; ++k) v = merged(merge_, v, group[k]);
                out[i] = r == 0 ? v : merged(merge_, out[i], v);
            }
        }
        if (merge_ == Merge::Average)
            for (int i = 0; i < count; ++i) out[i] = sums_.mean(i);
    }

private:
    const Surface &src_;
    const AxisMap &columns_;
    Merge merge_;
    int lo_ = 0, span_ = 0;
    Sums sums_;
};

void to_mono(uint32_t *row, int count, uint32_t background) {
    for (int i = 0; i < count; ++i) row[i] = (row[i] & 0xFFFFFF) == background ? 0xFFFFFF : 0;
}

}  // namespace

void raster_fill(const Surface &dst, int x, int y, int w, int h, const RasterJob &job) {
    if (w <= 0 || h <= 0) return;
    require_inside(dst, x, y, w, h, "raster_fill");
    for (int j = 0; j < h; ++j) output_row(dst, x, y + j, w, nullptr, job);
}

void raster_stretch(const Surface &src, const AxisMap &columns, const AxisMap &rows, const Surface &dst,
                    const RasterJob &job) {
    if (columns.source.empty() || rows.source.empty()) return;
    SourceRows source(src, columns, job.merge);
    int count = int(columns.source.size()), height = int(rows.source.size());
    if (checks_preconditions()) {
        auto [top, bottom] = std::minmax_element(rows.source.begin(), rows.source.end());
        require_inside(src, source.first_column(), *top, source.span(), *bottom + count_at(rows, rows.source.size() - 1) - *top,
                       "raster_stretch (source)");
        require_inside(dst, columns.first, rows.first, count, height, "raster_stretch (destination)");
    }
    uint32_t *row = scratch(kSource, size_t(count));
    // A block moving down its own surface goes from the bottom up, so that no row is overwritten
    // before it is read.
    bool backwards = src.bits == dst.bits && rows.first > rows.source.front();
    int loaded = -1, loaded_rows = 0;
    for (int k = 0; k < height; ++k) {
        int j = backwards ? height - 1 - k : k;
        int sy = rows.source[size_t(j)], n = count_at(rows, size_t(j));
        if (sy != loaded || n != loaded_rows || src.bits == dst.bits) {
            source.read(sy, n, row);
            if (job.to_mono) to_mono(row, count, job.mono_background);
            loaded = sy;
            loaded_rows = n;
        }
        output_row(dst, columns.first, rows.first + j, count, row, job);
    }
}

void blit_spans(const Surface &src, const Span &src_x, const Span &src_y, const Surface &dst, const Span &dst_x,
                const Span &dst_y, const RasterJob &job) {
    bool merging = job.merge != Merge::None;
    AxisMap columns = map_axis(dst_x, src_x, 0, dst.width, src.width, merging && src_x.length > dst_x.length);
    AxisMap rows = map_axis(dst_y, src_y, 0, dst.height, src.height, merging && src_y.length > dst_y.length);
    if (columns.source.empty() || rows.source.empty()) return;
    bool plain = job.rop == kSrcCopy && !job.to_mono && columns.count.empty() && rows.count.empty();
    if (!plain)
        raster_stretch(src, columns, rows, dst, job);
    else if (is_shift(columns) && is_shift(rows))
        copy_pixels(src, columns.source[0], rows.source[0], dst, columns.first, rows.first, int(columns.source.size()),
                    int(rows.source.size()));
    else
        stretch_pixels(src, columns, rows, dst);
}

}  // namespace gdi
