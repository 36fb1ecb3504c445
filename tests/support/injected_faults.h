// Makes the named platform calls fail (BENCH_FAULTS syntax) for the object's lifetime, in the
// test process itself.
#pragma once
#include <cstdlib>

#include "core/faults.h"

namespace benchtest {

class InjectedFaults {
public:
    explicit InjectedFaults(const char *rules) {
        setenv("BENCH_FAULTS", rules, 1);
        layer::reload_faults();
    }
    ~InjectedFaults() {
        unsetenv("BENCH_FAULTS");
        layer::reload_faults();
    }
    InjectedFaults(const InjectedFaults &) = delete;
    InjectedFaults &operator=(const InjectedFaults &) = delete;
};

}  // namespace benchtest
