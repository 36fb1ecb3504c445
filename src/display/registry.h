// The display backends this build has, in the order the host tries them when the user asks for
// none.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "display/backend.h"

namespace display {

// What a backend shows: a real window a user sees and acts on (--window), or nothing (--headless).
enum class Shows { Window, Nothing };

struct BackendEntry {
    Shows shows;
    bool (*available)();  // worth trying here without being asked for
    std::unique_ptr<Backend> (*create)(std::string *error);  // null, with the reason, when it cannot start
};

const std::vector<BackendEntry> &backends();

// The first backend that shows that, or null when this build has none.
const BackendEntry *find_backend(Shows shows);

}  // namespace display
