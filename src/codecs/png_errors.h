// libpng's error handlers for the PNG codecs: an error keeps libpng's text in the Message given as
// the error pointer and jumps back to the caller's setjmp; warnings are ignored.
#pragma once
#include <png.h>

#include "codecs/status.h"

namespace codecs {

[[noreturn]] inline void png_fail(png_structp png, png_const_charp text) {
    static_cast<Message *>(png_get_error_ptr(png))->set(text);
    png_longjmp(png, 1);
}

inline void png_ignore_warning(png_structp, png_const_charp) {}

}  // namespace codecs
