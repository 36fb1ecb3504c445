// Fault injection for tests: BENCH_FAULTS="Name[@N],..." makes the named platform call fail,
// on every call or only on its N-th call (counted from 1). The name "Allocation" makes the
// layer's allocations of the objects it hands out fail (see out_of_memory.h). Unset, nothing
// ever fails.
#pragma once
#include <string>

namespace layer {

// True when the rules make this call fail now. Every name asked about is one of the known calls
// listed in faults.cpp; a new fault point adds its name there.
bool injected_fault(const char *call_name);

// Reads BENCH_FAULTS again and restarts the call counts, for tests that drive faults in-process.
void reload_faults();

// False, with the reason and the known names, when a rule of BENCH_FAULTS names no known call
// or has a count that is not a whole number from 1 up.
bool check_fault_rules(std::string *error);

}  // namespace layer
