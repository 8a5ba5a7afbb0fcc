#include "logging/properties_reader.h"

#include <gtest/gtest.h>

#include <map>

namespace {

TEST(ParseProperties, ReadsTheFormatAsLog4cxxDoes) {
    const struct {
        const char* text;
        std::vector<Property> expected;
    } cases[] = {
        {"a=1\nb = 2\nc:3\nd 4\n", {{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}}},
        {"# comment\n! also\n  \n\tkey\t=\tvalue  \n", {{"key", "value  "}}},
        {"a=x\\\n    y\\\r\n z\r\nb=2", {{"a", "xyz"}, {"b", "2"}}},
        {"k\\=ey=v\\tw\\\\\\n", {{"k=ey", "v\tw\\\n"}}},
        {"a=\nb\nc=${c}", {{"a", ""}, {"b", ""}, {"c", "${c}"}}},
        {"trailing=\\", {{"trailing", ""}}},
        {"", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseProperties(c.text), c.expected) << c.text;
    }
}

std::string NoEnvironment(const std::string&) {
    return {};
}

// "<prefix>0=${<prefix>1}...", each of `count` lines naming the next `uses` times, after
// "root=${<prefix>0}"; the last name is left undefined.
std::string Chain(char prefix, int count, int uses) {
    std::string text = "root=${";
    text += prefix;
    text += "0}\n";
    for (int n = 0; n < count; ++n) {
        text += prefix;
        text += std::to_string(n);
        text += '=';
        for (int use = 0; use < uses; ++use) {
            text += "${";
            text += prefix;
            text += std::to_string(n + 1);
            text += '}';
        }
        text += '\n';
    }
    return text;
}

TEST(CheckReferences, FindsWhatWouldBringLog4cxxDown) {
    const std::string growing = Chain('v', 30, 2) + "v30=xx\n";
    const std::string deep = Chain('d', 100, 1);
    const std::string shallow = Chain('d', 20, 1);
    const struct {
        const char* name;
        std::string text;
        ReferenceFault fault;
        std::string at;
    } cases[] = {
        {"self", "log4j.rootLogger=${log4j.rootLogger}", ReferenceFault::kCyclic,
         "log4j.rootLogger"},
        {"two steps", "a=x${b}\nb=y${a}", ReferenceFault::kCyclic, "b"},
        {"reached from another", "root=${a}\na=${b}\nb=${a}", ReferenceFault::kCyclic, "a"},
        {"doubling", growing, ReferenceFault::kTooLarge, "root"},
        {"deep chain", deep, ReferenceFault::kTooDeep, ""},
        {"shallow chain", shallow, ReferenceFault::kNone, ""},
        {"shared, not cyclic", "a=${b}${b}${c}\nb=${c}\nc=1", ReferenceFault::kNone, ""},
        {"unclosed", "a=${a", ReferenceFault::kNone, ""},
        {"undefined", "a=${nothing}${}", ReferenceFault::kNone, ""},
        {"nested braces", "a=${${a}}", ReferenceFault::kNone, ""},
    };
    for (const auto& c : cases) {
        const ReferenceCheck check = CheckReferences(ParseProperties(c.text), NoEnvironment);
        EXPECT_EQ(check.fault, c.fault) << c.name;
        if (!c.at.empty()) {
            EXPECT_EQ(check.name, c.at) << c.name;
        }
        EXPECT_EQ(check.fault == ReferenceFault::kNone, DescribeReferenceFault(check).empty())
            << c.name;
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
    EXPECT_EQ(CheckReferences(ParseProperties("HOME=${HOME}"), lookUp).fault,
              ReferenceFault::kNone);
    // ...and an environment value is substituted in turn, so it can close a cycle itself.
    const ReferenceCheck loop = CheckReferences(ParseProperties("a=${LOOP}"), lookUp);
    EXPECT_EQ(loop.fault, ReferenceFault::kCyclic);
    EXPECT_EQ(loop.name, "LOOP");
}

}  // namespace
