#include "faults.h"

#include <cstdlib>
#include <map>
#include <string>

namespace layer {
namespace {

struct Rule {
    long nth = 0;  // 0: every call
    long calls = 0;
};

std::map<std::string, Rule> parse(const char *text) {
    std::map<std::string, Rule> rules;
    std::string rules_text = text ? text : "";
    size_t start = 0;
    while (start <= rules_text.size()) {
        size_t end = rules_text.find(',', start);
        if (end == std::string::npos) end = rules_text.size();
        std::string item = rules_text.substr(start, end - start);
        size_t at = item.find('@');
        Rule rule;
        if (at != std::string::npos) {
            rule.nth = std::strtol(item.c_str() + at + 1, nullptr, 10);
            item.resize(at);
        }
        if (!item.empty()) rules[item] = rule;
        start = end + 1;
    }
    return rules;
}

std::map<std::string, Rule> &rules() {
    static std::map<std::string, Rule> parsed = parse(std::getenv("BENCH_FAULTS"));
    return parsed;
}

}  // namespace

bool injected_fault(const char *call_name) {
    auto it = rules().find(call_name);
    if (it == rules().end()) return false;
    Rule &rule = it->second;
    ++rule.calls;
    return rule.nth == 0 || rule.calls == rule.nth;
}

void reload_faults() { rules() = parse(std::getenv("BENCH_FAULTS")); }

}  // namespace layer
