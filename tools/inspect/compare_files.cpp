#include "compare_files.h"

#include <optional>

#include "heat_map.h"
#include "refusal.h"
#include "source_pair.h"

namespace inspect {
namespace {

Picture heat_map_room(const FileInfo &size) {
    try {
        return Picture(size.width, size.height);
    } catch (const std::bad_alloc &) {
        throw OutOfMemory("holding the heat map (" + std::to_string(size.width) + " x " + std::to_string(size.height) +
                          ")");
    }
}

}  // namespace

FileComparison compare_files(const std::string &path_a, const std::string &path_b, const ReadRequest &request,
                             int tolerance, bool with_heat_map) {
    SourcePair pair(path_a, path_b, request);
    FileComparison out;
    std::optional<Comparer> comparer;
    bool same_size = pair.visit([&](uint64_t first, size_t count, const uint8_t *a, const uint8_t *b) {
        if (!comparer) {
            comparer.emplace(pair.a().width, tolerance);
            if (with_heat_map) out.heat_map = heat_map_room(pair.a());
        }
        comparer->add(a, b, first, count);
        if (with_heat_map) paint_heat_map(a, b, count, tolerance, out.heat_map.bgr.data() + 3 * first);
    });
    out.a = pair.a();
    out.b = pair.b();
    out.comparison.tolerance = tolerance;
    if (same_size) out.comparison = comparer->result();
    return out;
}

}  // namespace inspect
