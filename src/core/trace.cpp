#include "core/trace.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>
#include <string>

namespace layer {

bool tracing() {
    static const bool on = std::getenv("BENCH_TRACE") != nullptr;
    return on;
}

void unimplemented(const char *what) {
    if (!tracing()) return;
    static std::mutex guard;
    static std::set<std::string> reported;
    std::lock_guard<std::mutex> lock(guard);
    if (reported.insert(what).second) std::fprintf(stderr, "gdibench: not implemented: %s\n", what);
}

}  // namespace layer
