// The tool's findings as text for people and as one JSON object for scripts.
#pragma once
#include <string>

#include "compare.h"
#include "read_picture.h"
#include "statistics.h"

namespace inspect {

std::string describe_text(const LoadedPicture &loaded, const PictureFigures &figures);
std::string describe_json(const LoadedPicture &loaded, const PictureFigures &figures);

std::string comparison_text(const LoadedPicture &a, const LoadedPicture &b, const Comparison &comparison);
std::string comparison_json(const LoadedPicture &a, const LoadedPicture &b, const Comparison &comparison);

}  // namespace inspect
