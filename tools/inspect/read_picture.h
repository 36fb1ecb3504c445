// Reads any file the tool knows into a whole picture, saying what it recognised.
#pragma once
#include <string>

#include "picture.h"
#include "sources.h"

namespace inspect {

struct LoadedPicture {
    std::string file;
    Format format = Format::RawCapture;
    Picture picture;

    FileInfo info() const { return {file, format, picture.width, picture.height}; }
};

// Throws Refusal, naming the file, when it cannot be read or does not fit its format, and
// OutOfMemory when its picture does not fit in memory.
LoadedPicture read_picture(const std::string &path, const ReadRequest &request);

// Reads two files side by side (see source_pair.h). A refusal of the first file comes before one
// of the second.
void read_both(const std::string &path_a, const std::string &path_b, const ReadRequest &request, LoadedPicture *a,
               LoadedPicture *b);

}  // namespace inspect
