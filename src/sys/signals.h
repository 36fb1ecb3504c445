// How signals end the process.
#pragma once

namespace sys {

// A write to a closed pipe or past the file size limit fails (EPIPE, EFBIG) instead of ending the
// process, as writes fail on the platform. Ctrl-C, SIGTERM and SIGHUP remove the remembered
// temporary files, then end the process as the signal does by default. A signal that was
// ignored when the process started (nohup, a background job) stays ignored.
void take_process_signals();

}  // namespace sys
