// Test-program plumbing: COM and GDI+ for in-process tests, and stdout capture.
#include <windows.h>
#include <gdiplus.h>
#include <gtest/gtest.h>

#include "support/captured_stdout.h"
#include "sys/signals.h"

namespace benchtest {
namespace {

// COM and GDI+ are up for the whole test program, as WinMain has them up for the program, and
// signals are taken as gdibench's main() takes them.
class PlatformEnvironment : public testing::Environment {
public:
    void SetUp() override {
        sys::take_process_signals();
        CoInitialize(NULL);
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&token_, &input, NULL);
    }
    void TearDown() override {
        Gdiplus::GdiplusShutdown(token_);
        CoUninitialize();
    }

private:
    ULONG_PTR token_ = 0;
};

[[maybe_unused]] testing::Environment *const platform_environment =
    testing::AddGlobalTestEnvironment(new PlatformEnvironment);

}  // namespace

std::string begin_capture_and_run(void (*thunk)(void *), void *context) {
    fflush(stdout);
    testing::internal::CaptureStdout();
    thunk(context);
    fflush(stdout);
    return testing::internal::GetCapturedStdout();
}

}  // namespace benchtest
