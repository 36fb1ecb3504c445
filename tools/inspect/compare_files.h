// Two files compared as they are read, a band at a time: only a heat map asked for is held whole.
#pragma once
#include <string>

#include "compare.h"
#include "picture.h"
#include "sources.h"

namespace inspect {

struct FileComparison {
    FileInfo a, b;
    Comparison comparison;
    Picture heat_map;  // when asked for and the sizes agree (see heat_map.h)
};

// Throws a refusal of A first, then of B (see source_pair.h), and OutOfMemory.
FileComparison compare_files(const std::string &path_a, const std::string &path_b, const ReadRequest &request,
                             int tolerance, bool with_heat_map);

}  // namespace inspect
