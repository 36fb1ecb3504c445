#include "host/run_report.h"

#include <windows.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>

namespace host {

void report_run_if_asked() {
    if (!std::getenv("BENCH_REPORT")) return;
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    std::fprintf(stderr, "gdibench: %lu GDI objects left; peak memory %ld kB\n",
                 (unsigned long)GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), (long)usage.ru_maxrss);
}

}  // namespace host
