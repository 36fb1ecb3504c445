#include "engine/preconditions.h"

#include <cstdio>
#include <cstdlib>

namespace gdi {

#ifdef BENCH_CHECKED
bool checks_preconditions() { return true; }

void require_inside(const Surface &s, int x, int y, int w, int h, const char *what) {
    bool inside = x >= 0 && y >= 0 && w >= 0 && h >= 0 && int64_t(x) + w <= s.width && int64_t(y) + h <= s.height;
    if (inside) return;
    std::fprintf(stderr, "gdibench: engine precondition failed in %s: %d x %d block at (%d, %d) on a %d x %d surface\n",
                 what, w, h, x, y, s.width, s.height);
    std::abort();
}
#else
bool checks_preconditions() { return false; }

void require_inside(const Surface &, int, int, int, int, const char *) {}
#endif

}  // namespace gdi
