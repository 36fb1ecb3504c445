// The temporary files this process has made and not yet renamed or removed, so that a signal
// ending the process can remove them (see signals.h).
#pragma once
#include <string>

namespace sys {

// Remembers a file this process created. False when the name is too long or too many are
// remembered at once; the file is then left behind if a signal ends the process.
bool remember_temporary(const char *path);
// Forgets the name once the file was renamed or removed.
void forget_temporary(const char *path);
// Removes every remembered file. Async-signal-safe.
void remove_temporaries();

// Creates a new file beside path, named path.PID.N.tmp by the process id and a counter so that
// no other run or open shares it, opened write-only, and remembers it. The descriptor and the
// name, or -1 (errno set) when no such file can be created.
int create_temporary_beside(const std::string &path, std::string *name);

}  // namespace sys
