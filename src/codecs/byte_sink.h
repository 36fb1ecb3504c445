// Where an encoder writes the file it makes.
#pragma once
#include <cstddef>

namespace codecs {

class ByteSink {
public:
    // False when the sink did not take every byte; the encoder then stops with SinkRefused.
    virtual bool write(const void *bytes, size_t count) = 0;
    // The most the encoder is going to write, told before it starts, so that the sink can make
    // room once instead of growing as bytes come.
    virtual void expect(size_t /*bytes*/) {}

protected:
    ~ByteSink() = default;
};

}  // namespace codecs
