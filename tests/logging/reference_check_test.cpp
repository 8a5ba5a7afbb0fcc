#include "logging/reference_check.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

std::string NoEnvironment(const std::string&) {
    return {};
}

// "root" = "${<prefix>0}", then `count` entries "<prefix>N", each naming the next `uses`
// times; the last name is left undefined.
std::vector<Property> Chain(char prefix, int count, int uses) {
    const auto name = [prefix](int n) { return prefix + std::to_string(n); };
    std::vector<Property> properties = {{"root", "${" + name(0) + "}"}};
    for (int n = 0; n < count; ++n) {
        std::string value;
        for (int use = 0; use < uses; ++use) value += "${" + name(n + 1) + "}";
        properties.emplace_back(name(n), value);
    }
    return properties;
}

TEST(CheckReferences, FindsWhatWouldBringLog4cxxDown) {
    std::vector<Property> growing = Chain('v', 30, 2);
    growing.emplace_back("v30", "xx");
    const struct {
        const char* name;
        std::vector<Property> properties;
        ReferenceFault fault;
        std::string at;
    } cases[] = {
        {"self",
         {{"log4j.rootLogger", "${log4j.rootLogger}"}},
         ReferenceFault::kCyclic,
         "log4j.rootLogger"},
        {"two steps", {{"a", "x${b}"}, {"b", "y${a}"}}, ReferenceFault::kCyclic, "b"},
        {"reached from another",
         {{"root", "${a}"}, {"a", "${b}"}, {"b", "${a}"}},
         ReferenceFault::kCyclic,
         "a"},
        {"doubling", growing, ReferenceFault::kTooLarge, "root"},
        {"deep chain", Chain('d', 100, 1), ReferenceFault::kTooDeep, ""},
        {"shallow chain", Chain('d', 20, 1), ReferenceFault::kNone, ""},
        {"shared, not cyclic",
         {{"a", "${b}${b}${c}"}, {"b", "${c}"}, {"c", "1"}},
         ReferenceFault::kNone,
         ""},
        {"unclosed", {{"a", "${a"}}, ReferenceFault::kNone, ""},
        {"undefined", {{"a", "${nothing}${}"}}, ReferenceFault::kNone, ""},
        {"nested braces", {{"a", "${${a}}"}}, ReferenceFault::kNone, ""},
    };
    for (const auto& c : cases) {
        const auto check = CheckReferences(c.properties, NoEnvironment);
        EXPECT_EQ(check.outcome, c.fault) << c.name;
        // The reason names the variable where the fault shows, last.
        if (!c.at.empty()) {
            EXPECT_EQ(check.reason.substr(check.reason.rfind(' ') + 1), c.at) << c.name;
        }
        EXPECT_EQ(check.outcome == ReferenceFault::kNone, check.reason.empty()) << c.name;
    }
}

TEST(CheckReferences, TheEnvironmentComesFirstAsInLog4cxx) {
    const std::map<std::string, std::string> environment = {{"HOME", "/home/u"},
                                                            {"LOOP", "${LOOP}"}};
    const auto lookUp = [&](const std::string& name) {
        const auto found = environment.find(name);
        return found == environment.end() ? std::string() : found->second;
    };
    // A property that refers to itself is harmless when the environment answers for it...
    EXPECT_EQ(CheckReferences({{"HOME", "${HOME}"}}, lookUp).outcome, ReferenceFault::kNone);
    // ...and an environment value is substituted in turn, so it can close a cycle itself.
    const auto loop = CheckReferences({{"a", "${LOOP}"}}, lookUp);
    EXPECT_EQ(loop.outcome, ReferenceFault::kCyclic);
    EXPECT_EQ(loop.reason, "cyclic ${...} reference through LOOP");
}

}  // namespace
