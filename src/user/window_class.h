// Registered window classes. Classes are never unregistered, so a class outlives its windows.
#pragma once
#include <windows.h>

#include <string>

namespace user {

struct WindowClass {
    std::string name;
    WNDPROC proc = nullptr;
    HBRUSH background = nullptr;  // a brush or a system colour index + 1
    HINSTANCE instance = nullptr;
    ATOM atom = 0;
};

// The class of that name (compared without regard to case) or atom, or null.
const WindowClass *find_class(const char *name);

}  // namespace user
