// GdiplusStartup and GdiplusShutdown. Start-ups nest: every successful one hands out its own token,
// and GDI+ runs until each token has been handed back.
#include "gdiplus/startup.h"

#include <gdiplus.h>

#include <cstdio>
#include <set>

#include "core/faults.h"
#include "core/out_of_memory.h"

namespace gdiplus {
namespace {

std::set<ULONG_PTR> &live_tokens() {
    static std::set<ULONG_PTR> tokens;
    return tokens;
}

// With SuppressBackgroundThread the caller runs GDI+'s background work through these hooks; the
// layer has none, so they only hand out and take back a token.
Gdiplus::Status WINAPI notification_hook(ULONG_PTR *token) {
    if (!token) return Gdiplus::InvalidParameter;
    *token = 1;
    return Gdiplus::Ok;
}

void WINAPI notification_unhook(ULONG_PTR) {}

}  // namespace

bool started() { return !live_tokens().empty(); }

}  // namespace gdiplus

using namespace Gdiplus;

namespace {

Status start_status(const ULONG_PTR *token, const GdiplusStartupInput *input, const GdiplusStartupOutput *output) {
    if (!token || !input) return InvalidParameter;
    if (input->GdiplusVersion != 1) return UnsupportedGdiplusVersion;
    if (input->SuppressBackgroundThread && !output) return InvalidParameter;
    if (layer::injected_fault("GdiplusStartup")) return GenericError;
    return Ok;
}

}  // namespace

// A failed start is reported on standard error: the program runs on, and only its image calls fail.
extern "C" Status WINAPI GdiplusStartup(ULONG_PTR *token, const GdiplusStartupInput *input,
                                        GdiplusStartupOutput *output) try {
    Status status = start_status(token, input, output);
    if (status != Ok) {
        std::fprintf(stderr, "gdibench: GDI+ did not start (status %d); images cannot be loaded or saved\n",
                     int(status));
        return status;
    }
    static ULONG_PTR next_token = 0;
    *token = ++next_token;
    gdiplus::live_tokens().insert(*token);
    if (output) {
        output->NotificationHook = reinterpret_cast<void *>(&gdiplus::notification_hook);
        output->NotificationUnhook = reinterpret_cast<void *>(&gdiplus::notification_unhook);
    }
    return Ok;
} OUT_OF_MEMORY_RETURNS(Gdiplus::OutOfMemory)

extern "C" void WINAPI GdiplusShutdown(ULONG_PTR token) { gdiplus::live_tokens().erase(token); }
