// What a codec reports: its status, and its library's own words about a failure.
#pragma once
#include <cstdio>

namespace codecs {

enum class Status {
    Ok,
    Failed,       // damaged, truncated or unsupported data, or an image the format cannot hold
    OutOfMemory,  // over the pixel cap, or no memory
    SinkRefused,  // the sink did not take every byte
};

// Of fixed size, as the libraries report from error callbacks that jump.
struct Message {
    char text[200] = {};
    void set(const char *what) { std::snprintf(text, sizeof text, "%s", what); }
};

}  // namespace codecs
