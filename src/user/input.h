// Input events as messages: what the display's input queue holds, turned into what the window
// procedure of the shown window gets.
#pragma once

namespace user {

// Takes the next input event of the shown window and turns it into messages. False when no input
// can come any more.
bool take_input();

}  // namespace user
