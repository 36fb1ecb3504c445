#include "support/bench_run.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace benchtest {
namespace {

std::string slurp(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void remove_tree(const std::string &dir) {
    if (DIR *d = opendir(dir.c_str())) {
        while (dirent *entry = readdir(d)) {
            std::string name = entry->d_name;
            if (name == "." || name == "..") continue;
            std::string full = dir + "/" + name;
            if (entry->d_type == DT_DIR) {
                chmod(full.c_str(), 0700);
                remove_tree(full);
            } else {
                unlink(full.c_str());
            }
        }
        closedir(d);
    }
    chmod(dir.c_str(), 0700);
    rmdir(dir.c_str());
}

constexpr double kRunLimitSeconds = 600;

std::string fresh_folder(const char *prefix) {
    std::string pattern = std::string("/tmp/") + prefix + "-XXXXXX";
    if (!mkdtemp(&pattern[0])) throw std::runtime_error("mkdtemp failed");
    return pattern;
}

[[noreturn]] void exec_child(const std::string &dir, const std::vector<std::string> &args, const Env &env,
                             const std::string &out_path, const std::string &err_path) {
    int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int in = open("/dev/null", O_RDONLY);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    if (chdir(dir.c_str()) != 0) _exit(127);
    unsetenv("BENCH_FAULTS");
    for (const auto &[name, value] : env) setenv(name.c_str(), value.c_str(), 1);
    std::vector<char *> argv;
    std::string exe = BENCH_EXE;
    argv.push_back(exe.data());
    std::vector<std::string> copy = args;
    for (std::string &arg : copy) argv.push_back(arg.data());
    argv.push_back(nullptr);
    execv(exe.c_str(), argv.data());
    _exit(127);
}

}  // namespace

Workspace::Workspace(bool with_samples) : dir_(fresh_folder("gdibench-test")) {
    if (with_samples) {
        copy_in(sample_path("123A.jpg"), "123A.jpg");
        copy_in(sample_path("testA.bmp"), "testA.bmp");
    }
}

Workspace::~Workspace() { remove_tree(dir_); }

bool Workspace::exists(const std::string &name) const { return access(path(name).c_str(), F_OK) == 0; }

std::string Workspace::read(const std::string &name) const { return slurp(path(name)); }

void Workspace::write(const std::string &name, const std::string &bytes) const {
    std::ofstream(path(name), std::ios::binary) << bytes;
}

void Workspace::copy_in(const std::string &source, const std::string &name) const { write(name, slurp(source)); }

std::vector<std::string> Workspace::files() const {
    std::vector<std::string> names;
    if (DIR *d = opendir(dir_.c_str())) {
        while (dirent *entry = readdir(d)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> Workspace::temporaries() const {
    std::vector<std::string> names = files();
    auto temporary = [](const std::string &name) {
        return name.size() >= 4 && name.compare(name.size() - 4, 4, ".tmp") == 0;
    };
    names.erase(std::remove_if(names.begin(), names.end(), [&](const std::string &n) { return !temporary(n); }),
                names.end());
    return names;
}

RunResult Workspace::run(const std::vector<std::string> &args, const Env &env) const {
    return BenchProcess(*this, args, env).finish(kRunLimitSeconds);
}

RunResult Workspace::keys(const std::string &script, const Env &env, const std::vector<std::string> &more) const {
    std::vector<std::string> args = {"--headless", "--keys", script};
    args.insert(args.end(), more.begin(), more.end());
    return run(args, env);
}

BenchProcess::BenchProcess(const Workspace &workspace, const std::vector<std::string> &args, const Env &env,
                           const std::function<void()> &prepare)
    : io_(fresh_folder("gdibench-io")) {
    process_ = std::make_unique<ChildProcess>([&] {
        if (prepare) prepare();
        exec_child(workspace.dir(), args, env, io_ + "/out", io_ + "/err");
        return 127;
    });
}

BenchProcess::~BenchProcess() {
    process_.reset();
    remove_tree(io_);
}

RunResult BenchProcess::finish(double seconds) {
    RunResult result;
    result.exit_code = process_->wait(seconds);
    result.out = slurp(io_ + "/out");
    result.err = slurp(io_ + "/err");
    return result;
}

WorkingDirectory::WorkingDirectory(const std::string &dir) {
    char buffer[4096];
    previous_ = getcwd(buffer, sizeof(buffer)) ? buffer : ".";
    if (chdir(dir.c_str()) != 0) throw std::runtime_error("chdir failed: " + dir);
}

WorkingDirectory::~WorkingDirectory() {
    if (chdir(previous_.c_str()) != 0) perror("chdir back");
}

std::string sample_path(const std::string &name) { return std::string(BENCH_SAMPLES) + "/" + name; }

std::string corpus_path(const std::string &relative) { return std::string(BENCH_CORPUS) + "/" + relative; }

}  // namespace benchtest
