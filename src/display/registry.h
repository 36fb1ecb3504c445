// The display backends the host can choose from, in the order it tries them when the user
// names none.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "display/backend.h"

namespace display {

struct BackendEntry {
    const char *name;
    bool (*available)();  // worth trying here without being asked for by name
    std::unique_ptr<Backend> (*create)(std::string *error);  // null, with the reason, when it cannot start
};

const std::vector<BackendEntry> &backends();

// The entry of that name, or null.
const BackendEntry *find_backend(const std::string &name);

}  // namespace display
