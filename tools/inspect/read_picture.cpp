#include "read_picture.h"

#include <cstring>

#include "source_pair.h"

namespace inspect {
namespace {

// An empty picture of the file's size, its name and format filled in.
void prepare(const FileInfo &info, LoadedPicture *loaded) {
    loaded->file = info.file;
    loaded->format = info.format;
    try {
        loaded->picture = Picture(info.width, info.height);
    } catch (const std::bad_alloc &) {
        throw OutOfMemory("holding the picture of " + info.file + " (" + std::to_string(info.width) + " x " +
                          std::to_string(info.height) + ")");
    }
}

void copy_band(const uint8_t *band, uint64_t first, size_t count, Picture *picture) {
    std::memcpy(picture->bgr.data() + 3 * first, band, 3 * count);
}

}  // namespace

LoadedPicture read_picture(const std::string &path, const ReadRequest &request) {
    std::unique_ptr<PictureSource> source = open_source(path, request);
    LoadedPicture loaded;
    prepare(source->info, &loaded);
    naming(path, [&] {
        for_each_band(source->info.pixels(), [&](uint64_t first, size_t count) {
            copy_band(source->band(first, count), first, count, &loaded.picture);
        });
    });
    return loaded;
}

void read_both(const std::string &path_a, const std::string &path_b, const ReadRequest &request, LoadedPicture *a,
               LoadedPicture *b) {
    SourcePair pair(path_a, path_b, request);
    bool prepared = false;
    bool same_size = pair.visit([&](uint64_t first, size_t count, const uint8_t *pa, const uint8_t *pb) {
        if (!prepared) {
            prepare(pair.a(), a);
            prepare(pair.b(), b);
            prepared = true;
        }
        copy_band(pa, first, count, &a->picture);
        copy_band(pb, first, count, &b->picture);
    });
    if (same_size) return;
    *a = read_picture(path_a, request);
    *b = read_picture(path_b, request);
}

}  // namespace inspect
