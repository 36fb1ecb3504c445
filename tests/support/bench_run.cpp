#include "support/bench_run.h"

#include <dirent.h>
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

}  // namespace

Workspace::Workspace(bool with_samples) {
    char pattern[] = "/tmp/gdibench-test-XXXXXX";
    if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
    dir_ = pattern;
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
    auto kept = [](const std::string &name) {
        return name.size() < 4 || name.compare(name.size() - 4, 4, ".tmp") != 0;
    };
    names.erase(std::remove_if(names.begin(), names.end(), kept), names.end());
    return names;
}

Command Workspace::command(const std::vector<std::string> &args, const Env &env) const {
    Command command{{BENCH_EXE}, dir_, {{"BENCH_FAULTS", ""}}};
    command.argv.insert(command.argv.end(), args.begin(), args.end());
    command.env.insert(command.env.end(), env.begin(), env.end());
    return command;
}

RunResult Workspace::run(const std::vector<std::string> &args, const Env &env) const {
    return run_command(command(args, env), time_limit_);
}

RunResult Workspace::keys(const std::string &script, const Env &env, const std::vector<std::string> &more) const {
    std::vector<std::string> args = {"--headless", "--keys", script};
    args.insert(args.end(), more.begin(), more.end());
    return run(args, env);
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

std::string image_path(const std::string &relative) { return std::string(BENCH_IMAGES) + "/" + relative; }

std::string corpus_path(const std::string &relative) {
    const char *corpus = getenv("BENCH_CORPUS");
    return std::string(corpus ? corpus : "") + "/" + relative;
}

}  // namespace benchtest
