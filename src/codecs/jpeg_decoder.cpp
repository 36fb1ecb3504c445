// JPEG decoding of whole pictures: every row straight into the raster.
#include "codecs/codecs.h"
#include "codecs/jpeg_rows.h"

namespace codecs {

Status decode_jpeg(const uint8_t *data, size_t size, Raster *out, Message *message) {
    JpegRows rows;
    Status status = rows.open(data, size, message);
    if (status == Status::Ok) status = out->allocate(uint64_t(rows.width()), uint64_t(rows.height()));
    if (status != Status::Ok) return status;
    return rows.read(reinterpret_cast<uint8_t *>(out->pixels.get()), size_t(out->width) * 4, out->height, message);
}

}  // namespace codecs
