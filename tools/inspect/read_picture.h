// Reads any file the tool knows into a picture, saying what it recognised.
#pragma once
#include <optional>
#include <string>

#include "formats.h"
#include "picture.h"

namespace inspect {

struct ReadRequest {
    int width = 1280;  // the size of dumps and raw captures, which do not carry one
    int height = 1024;
    std::optional<Format> format;  // forced by --format; recognised from the content when empty
};

struct LoadedPicture {
    std::string file;
    Format format = Format::RawCapture;
    Picture picture;
};

// Throws Refusal, naming the file, when it cannot be read or does not fit its format.
LoadedPicture read_picture(const std::string &path, const ReadRequest &request);

// Reads two files at once on two threads; two dumps of one format and length are read together
// (see dump_pair.h). A refusal of the first file comes before one of the second.
void read_both(const std::string &path_a, const std::string &path_b, const ReadRequest &request, LoadedPicture *a,
               LoadedPicture *b);

}  // namespace inspect
