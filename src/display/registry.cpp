#include "display/registry.h"

#include "display/headless_backend.h"
#include "display/window_backends.h"

namespace display {
namespace {

bool always() { return true; }

std::unique_ptr<Backend> create_headless(std::string *) { return std::make_unique<HeadlessBackend>(); }

std::vector<BackendEntry> all_backends() {
    std::vector<BackendEntry> entries = window_backends();
    entries.push_back({Shows::Nothing, always, create_headless});
    return entries;
}

}  // namespace

const std::vector<BackendEntry> &backends() {
    static const std::vector<BackendEntry> entries = all_backends();
    return entries;
}

const BackendEntry *find_backend(Shows shows) {
    for (const BackendEntry &entry : backends())
        if (entry.shows == shows) return &entry;
    return nullptr;
}

}  // namespace display
