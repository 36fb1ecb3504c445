// Fault injection for tests: BENCH_FAULTS="Name[@N],..." makes the named platform call fail,
// on every call or only on its N-th call (counted from 1). Unset, nothing ever fails.
#pragma once

namespace layer {

bool injected_fault(const char *call_name);

// Reads BENCH_FAULTS again and restarts the call counts, for tests that drive faults in-process.
void reload_faults();

}  // namespace layer
