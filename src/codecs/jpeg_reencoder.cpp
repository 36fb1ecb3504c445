// A JPEG file encoded again as JPEG, its rows decoded a band at a time as the encoder takes them.
#include <vector>

#include "codecs/codecs.h"
#include "codecs/jpeg_rows.h"

namespace codecs {
namespace {

class DecodedBands final : public RowSource {
public:
    explicit DecodedBands(JpegRows *rows) : rows_(rows), pixels_(size_t(rows->width()) * 16) {}

    Status band(int, int count, gdi::Surface *band, Message *message) override {
        size_t stride = size_t(rows_->width()) * 4;
        if (size_t(count) * size_t(rows_->width()) > pixels_.size()) pixels_.resize(size_t(count) * size_t(rows_->width()));
        band->bits = reinterpret_cast<uint8_t *>(pixels_.data());
        band->width = rows_->width();
        band->height = count;
        band->stride = int(stride);
        band->format = gdi::PixelFormat::direct(32);
        return rows_->read(band->bits, stride, count, message);
    }

private:
    JpegRows *rows_;
    std::vector<uint32_t> pixels_;
};

}  // namespace

Status reencode_jpeg(const uint8_t *data, size_t size, int quality, ByteSink *sink, Message *message) {
    JpegRows rows;
    Status opened = rows.open(data, size, message);
    if (opened != Status::Ok) return opened;
    gdi::Surface shape;
    shape.width = rows.width();
    shape.height = rows.height();
    shape.format = gdi::PixelFormat::direct(32);
    DecodedBands bands(&rows);
    return encode_jpeg_rows(shape, &bands, quality, sink, message);
}

}  // namespace codecs
