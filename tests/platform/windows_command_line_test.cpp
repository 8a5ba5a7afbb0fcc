#include "platform/posix/windows_command_line.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// How a Windows program splits its command line (the C runtime's rules for every argument
// after the first): 2n backslashes before a quote give n and toggle quoting, 2n+1 give n and
// a literal quote, other backslashes are literal.
std::vector<std::string> SplitLikeWindows(const std::string& line) {
    std::vector<std::string> arguments;
    std::size_t at = 0;
    while (true) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
        if (at >= line.size()) return arguments;
        std::string argument;
        bool quoted = false;
        while (at < line.size() && (quoted || (line[at] != ' ' && line[at] != '\t'))) {
            std::size_t backslashes = 0;
            while (at < line.size() && line[at] == '\\') {
                ++backslashes;
                ++at;
            }
            if (at < line.size() && line[at] == '"') {
                argument.append(backslashes / 2, '\\');
                if (backslashes % 2 == 1) {
                    argument += '"';
                } else if (quoted && at + 1 < line.size() && line[at + 1] == '"') {
                    argument += '"';  // "" inside quotes is a literal quote
                    ++at;
                } else {
                    quoted = !quoted;
                }
                ++at;
            } else {
                argument.append(backslashes, '\\');
                if (at < line.size() && (quoted || (line[at] != ' ' && line[at] != '\t'))) {
                    argument += line[at++];
                }
            }
        }
        arguments.push_back(argument);
    }
}

std::string Join(const std::vector<std::string>& arguments) {
    std::vector<const char*> argv;
    argv.reserve(arguments.size());
    for (const std::string& argument : arguments) argv.push_back(argument.c_str());
    return platform::posix::JoinWindowsCommandLine(static_cast<int>(argv.size()), argv.data());
}

TEST(WindowsCommandLine, QuotesOnlyWhatNeedsIt) {
    EXPECT_EQ(Join({"/opt/tax/launcher", "--exit-code=7", "plain"}),
              "/opt/tax/launcher --exit-code=7 plain");
    EXPECT_EQ(Join({"launcher", "", "a b", "tab\there"}), "launcher \"\" \"a b\" \"tab\there\"");
    EXPECT_EQ(Join({"launcher", "say \"hi\""}), "launcher \"say \\\"hi\\\"\"");
    EXPECT_EQ(Join({"launcher", "C:\\dir with space\\"}), "launcher \"C:\\dir with space\\\\\"");
    EXPECT_EQ(Join({"launcher", "C:\\plain\\"}), "launcher C:\\plain\\");
    EXPECT_EQ(Join({"/opt/帳簿 アプリ/launcher", "帳簿"}), "\"/opt/帳簿 アプリ/launcher\" 帳簿");
}

TEST(WindowsCommandLine, SplitsBackIntoTheSameArguments) {
    std::mt19937 random(20261208);
    const std::string alphabet = "ab \\\"\t\xE5\xB8\xB3";
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 8);
    for (int round = 0; round < 20000; ++round) {
        std::vector<std::string> arguments = {"launcher"};
        const int count = length(random) % 5;
        for (int i = 0; i < count; ++i) {
            std::string argument;
            const int size = length(random);
            for (int j = 0; j < size; ++j) argument += alphabet[pick(random)];
            arguments.push_back(argument);
        }
        const std::string line = Join(arguments);
        ASSERT_EQ(SplitLikeWindows(line), arguments) << line;
    }
}

}  // namespace
