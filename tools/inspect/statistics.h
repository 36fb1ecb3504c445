// Per-channel figures of one picture.
#pragma once
#include <cstdint>

#include "picture.h"

namespace inspect {

struct ChannelFigures {
    int minimum = 0;
    int maximum = 0;
    double mean = 0;
};

struct PictureFigures {
    ChannelFigures channel[3];  // blue, green, red
    uint64_t distinct_colours = 0;
};

PictureFigures measure(const Picture &picture);

}  // namespace inspect
