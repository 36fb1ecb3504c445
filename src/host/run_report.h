// With BENCH_REPORT set in the environment, the host tells on stderr, when the program ends, what
// it left behind and how much memory it took, so that soak runs can prove nothing leaks.
#pragma once

namespace host {

void report_run_if_asked();

}  // namespace host
