// The tool's findings as text for people and as one JSON object for scripts.
#pragma once
#include <string>

#include "compare.h"
#include "sources.h"
#include "statistics.h"

namespace inspect {

std::string describe_text(const FileInfo &file, const PictureFigures &figures);
std::string describe_json(const FileInfo &file, const PictureFigures &figures);

std::string comparison_text(const FileInfo &a, const FileInfo &b, const Comparison &comparison);
// Bytes of file names that are not UTF-8 are written as \u00XX of the byte.
std::string comparison_json(const FileInfo &a, const FileInfo &b, const Comparison &comparison);

}  // namespace inspect
