#include "core/faults.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <new>

#include "core/out_of_memory.h"

namespace layer {
namespace {

// The calls that can be made to fail.
constexpr const char *kKnownCalls[] = {
    "AllocConsole",          "Allocation",            "CoInitialize",          "CreateDIBSection",
    "CreateFileA",           "CreateFileMappingA",    "CreateStreamOnHGlobal", "CreateWindowExA",
    "GdipGetImageEncoders",  "GdipSaveImageToStream", "GdiplusStartup",        "IStream::Read",
    "IStream::SeekCur",      "IStream::SeekEnd",      "IStream::SeekSet",      "IStream::Write",
    "RegisterClassExA",
};

bool known(const std::string &name) {
    for (const char *call : kKnownCalls)
        if (name == call) return true;
    return false;
}

std::string known_list() {
    std::string list;
    for (const char *call : kKnownCalls) list += std::string(list.empty() ? "" : ", ") + call;
    return list;
}

struct Rule {
    long nth = 0;  // 0: every call
    long calls = 0;
};

// The N of "@N": a whole number from 1 up, or 0 when it is not one.
long count_of(const std::string &text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return 0;
    errno = 0;
    long n = std::strtol(text.c_str(), nullptr, 10);
    return errno == 0 ? n : 0;
}

// The rules of the text; a malformed one is reported in *bad (when given) and left out.
std::map<std::string, Rule> parse(const char *text, std::string *bad = nullptr) {
    std::map<std::string, Rule> rules;
    std::string rules_text = text ? text : "";
    size_t start = 0;
    while (start <= rules_text.size()) {
        size_t end = rules_text.find(',', start);
        if (end == std::string::npos) end = rules_text.size();
        std::string item = rules_text.substr(start, end - start);
        start = end + 1;
        if (item.empty()) continue;
        size_t at = item.find('@');
        Rule rule;
        if (at != std::string::npos) rule.nth = count_of(item.substr(at + 1));
        std::string name = item.substr(0, at);
        if (!known(name) || (at != std::string::npos && rule.nth == 0)) {
            if (bad && bad->empty()) *bad = item;
            continue;
        }
        rules[name] = rule;
    }
    return rules;
}

std::map<std::string, Rule> &rules() {
    static std::map<std::string, Rule> parsed = parse(std::getenv("BENCH_FAULTS"));
    return parsed;
}

}  // namespace

bool injected_fault(const char *call_name) {
    if (rules().empty()) return false;
    const std::string name = call_name;
    auto it = rules().find(name);
    if (it == rules().end()) {
        if (!known(name)) {  // a fault point missing from the list could never be named in a rule
            std::fprintf(stderr, "gdibench: fault point \"%s\" is not among the known calls\n", call_name);
            std::abort();
        }
        return false;
    }
    Rule &rule = it->second;
    ++rule.calls;
    return rule.nth == 0 || rule.calls == rule.nth;
}

void allocation_point() {
    if (injected_fault("Allocation")) throw std::bad_alloc();
}

void reload_faults() { rules() = parse(std::getenv("BENCH_FAULTS")); }

bool check_fault_rules(std::string *error) {
    std::string bad;
    parse(std::getenv("BENCH_FAULTS"), &bad);
    if (bad.empty()) return true;
    *error = "BENCH_FAULTS: \"" + bad + "\" is not a known call with an optional @N (N from 1); known calls: " +
             known_list();
    return false;
}

}  // namespace layer
