// libjpeg's error handling for the JPEG codecs. An error must not return to the library, so it keeps
// the library's text in the Message and jumps back to the caller's setjmp.
#pragma once
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "codecs/status.h"

namespace codecs {

struct JpegTrap {
    jpeg_error_mgr manager;  // first, so that the library's error pointer is the trap's
    jmp_buf jump;
    Message *message;
};

[[noreturn]] inline void jpeg_fail_with(j_common_ptr cinfo, const char *text) {
    auto *trap = reinterpret_cast<JpegTrap *>(cinfo->err);
    trap->message->set(text);
    longjmp(trap->jump, 1);
}

// For the message the library has just raised.
[[noreturn]] inline void jpeg_fail(j_common_ptr cinfo) {
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    jpeg_fail_with(cinfo, text);
}

// The trap as the error manager to give the library; emit_message sees its warnings and traces.
inline jpeg_error_mgr *arm(JpegTrap *trap, Message *message, void (*emit_message)(j_common_ptr, int)) {
    jpeg_std_error(&trap->manager);
    trap->manager.error_exit = jpeg_fail;
    trap->manager.emit_message = emit_message;
    trap->message = message;
    return &trap->manager;
}

}  // namespace codecs
