// Diagnostics for BENCH_TRACE: the layer never fails silently where the platform would have
// done something it does not.
#pragma once

namespace layer {

// True when BENCH_TRACE is set (read once).
bool tracing();

// With BENCH_TRACE set, prints "gdibench: not implemented: WHAT" on standard error the first
// time each distinct WHAT is reported; later reports of it print nothing.
void unimplemented(const char *what);

}  // namespace layer
