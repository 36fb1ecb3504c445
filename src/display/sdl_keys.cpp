#include "display/sdl_keys.h"

namespace display {
namespace {

struct KeyPair {
    SDL_Keycode sym;
    UINT vk;
};

// Every key with a virtual-key code of its own, letters, digits and keypad digits aside. The
// punctuation keys are those of the US layout, as the platform names them.
constexpr KeyPair kNamedKeys[] = {
    {SDLK_ESCAPE, VK_ESCAPE},          {SDLK_TAB, VK_TAB},
    {SDLK_RETURN, VK_RETURN},          {SDLK_KP_ENTER, VK_RETURN},
    {SDLK_BACKSPACE, VK_BACK},         {SDLK_SPACE, VK_SPACE},
    {SDLK_PAUSE, VK_PAUSE},            {SDLK_CAPSLOCK, VK_CAPITAL},
    {SDLK_NUMLOCKCLEAR, VK_NUMLOCK},   {SDLK_SCROLLLOCK, VK_SCROLL},
    {SDLK_LSHIFT, VK_SHIFT},           {SDLK_RSHIFT, VK_SHIFT},
    {SDLK_LCTRL, VK_CONTROL},          {SDLK_RCTRL, VK_CONTROL},
    {SDLK_LALT, VK_MENU},              {SDLK_RALT, VK_MENU},
    {SDLK_LEFT, VK_LEFT},              {SDLK_RIGHT, VK_RIGHT},
    {SDLK_UP, VK_UP},                  {SDLK_DOWN, VK_DOWN},
    {SDLK_HOME, VK_HOME},              {SDLK_END, VK_END},
    {SDLK_PAGEUP, VK_PRIOR},           {SDLK_PAGEDOWN, VK_NEXT},
    {SDLK_INSERT, VK_INSERT},          {SDLK_DELETE, VK_DELETE},
    {SDLK_F1, VK_F1},                  {SDLK_F2, VK_F2},
    {SDLK_F3, VK_F3},                  {SDLK_F4, VK_F4},
    {SDLK_F5, VK_F5},                  {SDLK_F6, VK_F6},
    {SDLK_F7, VK_F7},                  {SDLK_F8, VK_F8},
    {SDLK_F9, VK_F9},                  {SDLK_F10, VK_F10},
    {SDLK_F11, VK_F11},                {SDLK_F12, VK_F12},
    {SDLK_SEMICOLON, VK_OEM_1},        {SDLK_SLASH, VK_OEM_2},
    {SDLK_BACKQUOTE, VK_OEM_3},        {SDLK_LEFTBRACKET, VK_OEM_4},
    {SDLK_BACKSLASH, VK_OEM_5},        {SDLK_RIGHTBRACKET, VK_OEM_6},
    {SDLK_QUOTE, VK_OEM_7},            {SDLK_EQUALS, VK_OEM_PLUS},
    {SDLK_COMMA, VK_OEM_COMMA},        {SDLK_MINUS, VK_OEM_MINUS},
    {SDLK_PERIOD, VK_OEM_PERIOD},
    {SDLK_KP_MULTIPLY, VK_MULTIPLY},   {SDLK_KP_PLUS, VK_ADD},
    {SDLK_KP_MINUS, VK_SUBTRACT},      {SDLK_KP_DIVIDE, VK_DIVIDE},
};

// Keypad 1-9 and 0 in SDL's order, without Num Lock.
constexpr UINT kKeypadNavigation[] = {VK_END,   VK_DOWN, VK_NEXT, VK_LEFT,  VK_CLEAR,
                                      VK_RIGHT, VK_HOME, VK_UP,   VK_PRIOR, VK_INSERT};

UINT keypad_key(SDL_Keycode sym, bool num_lock) {
    if (sym == SDLK_KP_PERIOD) return num_lock ? VK_DECIMAL : VK_DELETE;
    int index = sym - SDLK_KP_1;  // SDLK_KP_1 .. SDLK_KP_9, SDLK_KP_0
    if (!num_lock) return kKeypadNavigation[index];
    return index == 9 ? VK_NUMPAD0 : VK_NUMPAD0 + 1 + index;
}

}  // namespace

UINT virtual_key(SDL_Keycode sym, Uint16 mod) {
    if (sym >= SDLK_a && sym <= SDLK_z) return 'A' + (sym - SDLK_a);
    if (sym >= SDLK_0 && sym <= SDLK_9) return '0' + (sym - SDLK_0);
    if ((sym >= SDLK_KP_1 && sym <= SDLK_KP_0) || sym == SDLK_KP_PERIOD) return keypad_key(sym, mod & KMOD_NUM);
    for (const KeyPair &pair : kNamedKeys)
        if (pair.sym == sym) return pair.vk;
    return 0;
}

InputEvent key_event(const SDL_KeyboardEvent &key) {
    UINT vk = virtual_key(key.keysym.sym, key.keysym.mod);
    return vk ? key_input(vk, key.keysym.mod & KMOD_ALT, key.repeat != 0) : InputEvent();
}

}  // namespace display
