// Temporary: the process entry hands over to WinMain.
#include <windows.h>

int main() { return WinMain(nullptr, nullptr, const_cast<char *>(""), 10); }
