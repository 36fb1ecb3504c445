// The caller's stream as the sink an encoder writes to.
#pragma once
#include <objbase.h>

#include <cstddef>

#include "codecs/byte_sink.h"

namespace gdiplus {

class StreamSink final : public codecs::ByteSink {
public:
    explicit StreamSink(IStream *stream) : stream_(stream) {}

    // True when the stream took every byte.
    bool write(const void *bytes, size_t count) override;
    // A memory stream makes room for them past its position.
    void expect(size_t bytes) override;

private:
    IStream *stream_;
};

}  // namespace gdiplus
