// Runs the bench as a user would: in a fresh temporary working directory, headless, with a key
// script, capturing the console (stdout), stderr and the exit code.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/child_process.h"

namespace benchtest {

struct RunResult {
    int exit_code = -1;
    std::string out;  // the console lines
    std::string err;
};

using Env = std::vector<std::pair<std::string, std::string>>;

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

    // Runs the program here with the given arguments and extra environment, for ten minutes at most.
    RunResult run(const std::vector<std::string> &args, const Env &env = {}) const;
    // Runs headless with a key script (and optionally more arguments after it).
    RunResult keys(const std::string &script, const Env &env = {},
                   const std::vector<std::string> &more = {}) const;

private:
    std::string dir_;
};

// The bench started in the background in a workspace, for tests that act on it while it runs.
class BenchProcess {
public:
    // prepare runs in the bench's own process (it has the bench's process id) before it starts.
    BenchProcess(const Workspace &workspace, const std::vector<std::string> &args, const Env &env = {},
                 const std::function<void()> &prepare = {});
    ~BenchProcess();

    // Waits for the end, `seconds` at most: past that it is killed and the exit code is -1.
    RunResult finish(double seconds);
    const ChildProcess &process() const { return *process_; }

private:
    std::string io_;  // a folder of its own for the console files
    std::unique_ptr<ChildProcess> process_;
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
std::string corpus_path(const std::string &relative);  // a file of the shared test corpus

}  // namespace benchtest
