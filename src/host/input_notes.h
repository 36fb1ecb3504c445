// Notes on the inputs the program looks for in the working directory.
#pragma once

namespace host {

// One line on standard error for each input file that is not in the working directory, with what
// the program will do without it (it says little or nothing itself).
void note_missing_inputs();

}  // namespace host
