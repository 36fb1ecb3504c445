// The program's real window on an X server of the test's own (Xvfb): found by its title with
// xdotool, read back with ImageMagick's import, driven by keys typed into it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

#include "support/bench_run.h"
#include "support/png_image.h"

namespace {

using namespace benchtest;
using Clock = std::chrono::steady_clock;

constexpr double kToolSeconds = 20;  // one call of an X tool
constexpr int kStartSeconds = 20;    // for the server to start, the window to appear, the first paint

bool on_path(const std::string &tool) {
    return run_command({{"sh", "-c", "command -v " + tool}}, kToolSeconds).exit_code == 0;
}

// An X server of its own for the test's lifetime.
class Xvfb {
public:
    explicit Xvfb(const std::string &screen = "1600x1200x24") {
        int fds[2];
        if (pipe(fds) != 0) return;
        ready_fd_ = fds[0];  // kept open: the server writes its number again when it resets
        server_ = std::make_unique<ChildProcess>(Command{{"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen",
                                                          "0", screen, "-nolisten", "tcp", "-noreset"}});
        close(fds[1]);
        pollfd ready = {fds[0], POLLIN, 0};
        char number[16] = {};
        if (::poll(&ready, 1, kStartSeconds * 1000) == 1 && read(fds[0], number, sizeof(number) - 1) > 0)
            display_ = ":" + std::string(number, strcspn(number, "\n"));
    }
    ~Xvfb() {
        server_.reset();
        if (ready_fd_ >= 0) close(ready_fd_);
    }
    const std::string &display() const { return display_; }
    std::string log() const { return server_ ? server_->err() : ""; }

    // Standard output of an X tool run on this server.
    std::string tool(const std::vector<std::string> &argv) const {
        return run_command({argv, "", {{"DISPLAY", display_}}}, kToolSeconds).out;
    }
    // Ids of the windows titled "Caption", one a line; only the mapped and viewable ones when told.
    std::string caption_windows(bool visible_only = false) const {
        if (visible_only) return tool({"xdotool", "search", "--onlyvisible", "--name", "^Caption$"});
        return tool({"xdotool", "search", "--name", "^Caption$"});
    }

private:
    int ready_fd_ = -1;
    std::unique_ptr<ChildProcess> server_;
    std::string display_;
};

// The program with a real window on the server, saving a screenshot when it ends.
Command windowed(const Workspace &ws, const std::string &display, std::vector<std::string> args = {}) {
    // The D-Bus and GL libraries that SDL loads for X11 keep memory that LeakSanitizer would report
    // in sanitizer builds; the program's own leaks are checked headless.
    const char *asan = std::getenv("ASAN_OPTIONS");
    args.insert(args.begin(), {"--window", "--screenshot", "shot.png"});
    return ws.command(args,
                      {{"DISPLAY", display},
                       {"WAYLAND_DISPLAY", ""},
                       {"SDL_VIDEODRIVER", ""},
                       {"ASAN_OPTIONS", std::string(asan ? asan : "") + ":detect_leaks=0"}});
}

// Polls until f() gives a non-empty string or the time is up.
std::string wait_for(const std::function<std::string()> &f, int seconds = kStartSeconds) {
    auto deadline = Clock::now() + std::chrono::seconds(seconds);
    std::string value;
    while ((value = f()).empty() && Clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    return value;
}

bool all_white(const RgbaImage &image) {
    for (size_t i = 0; i < image.rgba.size(); i += 4)
        if (image.rgba[i] != 255 || image.rgba[i + 1] != 255 || image.rgba[i + 2] != 255) return false;
    return !image.rgba.empty();
}

// Why the real window cannot be tested here, or empty when it can.
std::string cannot_test() {
    if (!kBenchHasWindow) return kNoWindow;
    for (const char *tool : {"Xvfb", "xdotool", "import"})
        if (!on_path(tool)) return std::string(tool) + " is not installed (Debian: xvfb, xdotool, imagemagick)";
    return "";
}

// The program started with a real window on an X server of the test's own.
class RealWindow : public testing::Test {
protected:
    void SetUp() override {
        if (std::string reason = cannot_test(); !reason.empty()) GTEST_SKIP() << reason;
        server = std::make_unique<Xvfb>();
        ASSERT_FALSE(server->display().empty())
            << "Xvfb did not start within " << kStartSeconds << " s: " << server->log();
        run.emplace(windowed(ws, server->display()));
    }

    // What the X server shows in the window, grabbed until it passes the check or the time is up.
    RgbaImage grab_until(const std::string &id, const std::function<bool(const RgbaImage &)> &check) const {
        RgbaImage grabbed;
        std::string shot = ws.path("grab.png");
        wait_for([&] {
            server->tool({"import", "-window", id, shot});
            return read_png(shot, &grabbed) && check(grabbed) ? "done" : "";
        });
        return grabbed;
    }

    std::unique_ptr<Xvfb> server;
    Workspace ws;
    std::optional<ChildProcess> run;
};

TEST_F(RealWindow, ShowsAWhiteClientAreaAndTakesKeysUnderXvfb) {
    // The window keeps the identity it has when its title first appears.
    std::string id = wait_for([&] { return server->caption_windows(); });
    auto found = Clock::now();
    ASSERT_FALSE(id.empty()) << "no window titled Caption appeared on " << server->display() << " (exit code "
                             << run->wait(0) << ")\n" << run->err();
    EXPECT_EQ(wait_for([&] { return server->caption_windows(true); }), id) << "the window found is not the one shown";
    id = id.substr(0, id.find('\n'));
    std::string geometry = server->tool({"xdotool", "getwindowgeometry", id});
    EXPECT_NE(geometry.find("Geometry: 1280x1024"), std::string::npos) << geometry;

    // What the X server shows in the window, once the first paint has reached it.
    RgbaImage grabbed = grab_until(id, all_white);
    EXPECT_EQ(grabbed.width, 1280);
    EXPECT_EQ(grabbed.height, 1024);
    EXPECT_TRUE(all_white(grabbed)) << "the client area is not white";

    std::this_thread::sleep_until(found + std::chrono::seconds(2));
    EXPECT_EQ(server->caption_windows(), id + "\n") << "after 2 s";
    server->tool({"xdotool", "windowfocus", id});
    server->tool({"xdotool", "key", "0"});
    EXPECT_EQ(server->caption_windows(), id + "\n") << "after a key";

    server->tool({"xdotool", "key", "Escape"});
    RunResult result = run->finish(kToolSeconds);
    EXPECT_EQ(result.exit_code, 0) << result.err;
    EXPECT_EQ(result.out, "key 48\nkey_num 0\nkey 27\nkey_num 0\n");
    RgbaImage screenshot;
    ASSERT_TRUE(read_png(ws.path("shot.png"), &screenshot));
    EXPECT_EQ(screenshot.width, 1280);
    EXPECT_EQ(screenshot.height, 1024);
    EXPECT_TRUE(all_white(screenshot));
}

// On a screen smaller than the window, the window starts at the screen's top-left corner.
TEST(RealWindowPlacement, AWindowLargerThanTheScreenStartsAtItsCorner) {
    if (std::string reason = cannot_test(); !reason.empty()) GTEST_SKIP() << reason;
    Xvfb small("1024x768x24");
    ASSERT_FALSE(small.display().empty()) << small.log();
    Workspace ws;
    ChildProcess run(windowed(ws, small.display()));
    std::string id = wait_for([&] { return small.caption_windows(true); });
    ASSERT_FALSE(id.empty()) << "no window titled Caption was shown\n" << run.err();
    id = id.substr(0, id.find('\n'));
    std::string geometry = small.tool({"xdotool", "getwindowgeometry", id});
    EXPECT_NE(geometry.find("Position: 0,0 "), std::string::npos) << geometry;
    small.tool({"xdotool", "windowfocus", "--sync", id, "key", "Escape"});
    EXPECT_EQ(run.finish(kToolSeconds).exit_code, 0);
}

// While the key file gives nothing, the window goes on: it takes a key of its own, costing no CPU to
// speak of, and the file's next key runs when it comes.
TEST(RealWindowKeyFile, AnIdleKeyFileHoldsNothingUp) {
    if (std::string reason = cannot_test(); !reason.empty()) GTEST_SKIP() << reason;
    Xvfb server;
    ASSERT_FALSE(server.display().empty()) << server.log();
    Workspace ws;
    const std::string fifo = ws.path("keys");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ChildProcess run(windowed(ws, server.display(), {"--keys-file", "keys"}));
    int keys = -1;  // opened once the program has opened its end
    wait_for([&] { return (keys = open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC)) >= 0 ? "open" : ""; });
    ASSERT_GE(keys, 0) << run.err();
    auto echoed = [&](const std::string &lines) { return wait_for([&] { return run.out() == lines ? "yes" : ""; }); };
    ASSERT_EQ(write(keys, "0\n", 2), 2);
    ASSERT_FALSE(echoed("key 48\nkey_num 0\n").empty()) << run.out() << run.err();

    std::string id = wait_for([&] { return server.caption_windows(true); });
    ASSERT_FALSE(id.empty()) << "no window titled Caption was shown\n" << run.err();
    server.tool({"xdotool", "windowfocus", "--sync", id.substr(0, id.find('\n')), "key", "space"});
    EXPECT_FALSE(echoed("key 48\nkey_num 0\nkey 32\nkey_num 0\n").empty()) << run.out();
    double before = run.cpu_seconds();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_LT(run.cpu_seconds() - before, 0.05) << "CPU seconds in 1 s of waiting";

    ASSERT_EQ(write(keys, "Esc\n", 4), 4);
    close(keys);
    RunResult result = run.finish(kToolSeconds);
    EXPECT_EQ(result.exit_code, 0) << result.err;
    EXPECT_EQ(result.out, "key 48\nkey_num 0\nkey 32\nkey_num 0\nkey 27\nkey_num 0\n");
}

// One row per key of the keyboard: the X key symbol xdotool presses and the console's echo of the
// virtual-key code as a signed char, or none for the system keys (F10 and Alt), which the program's
// window procedure leaves to the default handling. Keypad "." follows Num Lock, so it comes after it.
struct KeyRow {
    const char *keysym;
    const char *echo;
};
const KeyRow kKeyRows[] = {
    {"semicolon", "-70"},   {"slash", "-65"},        {"grave", "-64"},       {"bracketleft", "-37"},
    {"backslash", "-36"},   {"bracketright", "-35"}, {"apostrophe", "-34"},  {"minus", "-67"},
    {"equal", "-69"},       {"comma", "-68"},        {"period", "-66"},      {"Caps_Lock", "20"},
    {"Num_Lock", "-112"},   {"Scroll_Lock", "-111"}, {"KP_Multiply", "106"}, {"KP_Add", "107"},
    {"KP_Subtract", "109"}, {"KP_Delete", "110"},    {"KP_Divide", "111"},   {"F1", "112"},
    {"F2", "113"},          {"F3", "114"},           {"F4", "115"},          {"F5", "116"},
    {"F6", "117"},          {"F7", "118"},           {"F8", "119"},          {"F9", "120"},
    {"F10", nullptr},       {"F11", "122"},          {"F12", "123"},         {"Left", "37"},
    {"Up", "38"},           {"Right", "39"},         {"Down", "40"},         {"Home", "36"},
    {"End", "35"},          {"Prior", "33"},         {"Next", "34"},         {"Insert", "45"},
    {"Delete", "46"},       {"Tab", "9"},            {"Return", "13"},       {"BackSpace", "8"},
    {"space", "32"},        {"Pause", "19"},         {"Control_L", "17"},    {"Alt_L", nullptr},
};

TEST_F(RealWindow, EveryKeyReachesTheProgram) {
    std::string id = wait_for([&] { return server->caption_windows(true); });
    ASSERT_FALSE(id.empty()) << "no window titled Caption was shown\n" << run->err();
    id = id.substr(0, id.find('\n'));
    // Mode 2 first: once its pattern is on the screen, the program has the focus and has taken a key,
    // so the lock keys that follow find SDL's modifier state settled. Then mode 0, which prints nothing.
    server->tool({"xdotool", "windowfocus", "--sync", id, "key", "2"});
    auto drawn = [](const RgbaImage &image) { return !image.rgba.empty() && !all_white(image); };
    ASSERT_TRUE(drawn(grab_until(id, drawn))) << "mode 2 was never drawn";
    std::vector<std::string> keys = {"xdotool", "key", "--delay", "50", "0"};
    for (const KeyRow &row : kKeyRows) keys.push_back(row.keysym);
    keys.push_back("Escape");
    server->tool(keys);
    RunResult result = run->finish(kToolSeconds);
    ASSERT_EQ(result.exit_code, 0) << result.err;

    // After mode 0's two lines, two console lines a key, "key <code>" and "key_num 0"; the Escape that
    // closes the window last.
    const std::string mode_0 = "key 48\nkey_num 0\n";
    ASSERT_NE(result.out.find(mode_0), std::string::npos) << result.out;
    std::istringstream console(result.out.substr(result.out.find(mode_0) + mode_0.size()));
    std::string echo, mode;
    for (const KeyRow &row : kKeyRows) {
        if (!row.echo) continue;
        std::getline(console, echo);
        std::getline(console, mode);
        EXPECT_EQ(echo, std::string("key ") + row.echo) << row.keysym;
        EXPECT_EQ(mode, "key_num 0") << row.keysym;
    }
    std::getline(console, echo);
    EXPECT_EQ(echo, "key 27");
}

}  // namespace
