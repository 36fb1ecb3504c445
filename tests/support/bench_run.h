// Runs the bench as a user would: in a fresh temporary working directory, headless, with a key
// script, capturing the console (stdout), stderr and the exit code.
#pragma once
#include <string>
#include <vector>

#include "support/child_process.h"

namespace benchtest {

// How long one run of the bench may take before the test fails.
constexpr double kBenchSeconds = 60;

// Whether the bench was built with a real window (SDL2); the tests of that window skip without it.
constexpr bool kBenchHasWindow = BENCH_HAS_WINDOW;
constexpr const char kNoWindow[] = "this build has no window back-end (SDL2 was not found)";

class Workspace {
public:
    // A fresh directory holding the bundled sample images ("123A.jpg", "testA.bmp") unless told not to.
    explicit Workspace(bool with_samples = true);
    ~Workspace();
    Workspace(const Workspace &) = delete;
    Workspace &operator=(const Workspace &) = delete;

    const std::string &dir() const { return dir_; }
    std::string path(const std::string &name) const { return dir_ + "/" + name; }
    bool exists(const std::string &name) const;
    std::string read(const std::string &name) const;  // whole file, bytes
    void write(const std::string &name, const std::string &bytes) const;
    void copy_in(const std::string &source, const std::string &name) const;
    std::vector<std::string> files() const;        // names in the directory, sorted
    std::vector<std::string> temporaries() const;  // those ending in ".tmp": what a run left behind

    // How long each run may take before the test fails (kBenchSeconds unless told).
    void set_time_limit(double seconds) { time_limit_ = seconds; }
    // The program here with the given arguments and extra environment, to start in the background.
    Command command(const std::vector<std::string> &args, const Env &env = {}) const;
    // Runs the program here with the given arguments and extra environment.
    RunResult run(const std::vector<std::string> &args, const Env &env = {}) const;
    // Runs headless with a key script (and optionally more arguments after it).
    RunResult keys(const std::string &script, const Env &env = {},
                   const std::vector<std::string> &more = {}) const;

private:
    std::string dir_;
    double time_limit_ = kBenchSeconds;
};

// Makes dir the working directory for the object's lifetime (for in-process tests of routines
// that read and write files in the working directory).
class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::string &dir);
    ~WorkingDirectory();

private:
    std::string previous_;
};

std::string sample_path(const std::string &name);  // a bundled sample image
std::string image_path(const std::string &relative);   // a generated test image, e.g. "png/g/rgb8.png"
// A file of the corpus of real images named by the environment variable BENCH_CORPUS.
std::string corpus_path(const std::string &relative);

}  // namespace benchtest
