#include "platform/posix/process_entry_command_line_posix.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "support/scoped_code_page.h"
#include "windows_command_line_splitter.h"

namespace {

std::string Join(const std::vector<std::string>& arguments) {
    std::vector<const char*> argv;
    argv.reserve(arguments.size());
    for (const std::string& argument : arguments) argv.push_back(argument.c_str());
    return platform::posix::JoinWindowsCommandLine(static_cast<int>(argv.size()), argv.data());
}

// ANSI text as the run object gets it: converted with the active code page.
std::u16string Wide(const std::string& ansi) {
    return platform::WideFromAnsi(ansi);
}

// What a Windows program reads from the joined arguments.
std::vector<std::u16string> ReadBack(const std::vector<std::string>& arguments) {
    return SplitWindowsCommandLine(Wide(Join(arguments)));
}

std::vector<std::u16string> Widened(const std::vector<std::string>& arguments) {
    std::vector<std::u16string> wide;
    wide.reserve(arguments.size());
    for (const std::string& argument : arguments) wide.push_back(Wide(argument));
    return wide;
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

// The head is read up to its closing quote with no escapes, so it is written without any.
TEST(WindowsCommandLine, TheProgramNameIsWrittenAsWindowsReadsTheHead) {
    struct Case {
        std::string programName;
        std::string written;
        std::string readBack;
    };
    const Case cases[] = {
        {"/opt/tax/launcher", "/opt/tax/launcher", "/opt/tax/launcher"},
        {"/opt/dir with space\\/launcher", "\"/opt/dir with space\\/launcher\"",
         "/opt/dir with space\\/launcher"},
        {"C:\\dir with space\\", "\"C:\\dir with space\\\"", "C:\\dir with space\\"},
        {"C:\\plain\\", "C:\\plain\\", "C:\\plain\\"},
        // No Windows file name holds a double quote: it is left out, never escaped.
        {"/opt/x\"y z/launcher", "\"/opt/xy z/launcher\"", "/opt/xy z/launcher"},
        {"\"launcher", "launcher", "launcher"},
        {"a\"b", "ab", "ab"},
        {"", "\"\"", ""},
        {"tab\there", "\"tab\there\"", "tab\there"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::posix::QuoteWindowsProgramName(c.programName), c.written);
        const std::vector<std::string> arguments = {c.programName, "a b", "C:\\x\\", "\"q\""};
        std::vector<std::string> expected = arguments;
        expected[0] = c.readBack;
        EXPECT_EQ(ReadBack(arguments), Widened(expected)) << Join(arguments);
    }
}

// 表 and ソ end in 0x5C in Shift_JIS: that byte is half of a character, not a backslash.
TEST(WindowsCommandLine, DoubleByteCharactersEndingInBackslashBytesStayWhole) {
    const ScopedAnsiCodePage shiftJis(platform::kCodePageShiftJis);
    const std::string hyo = "\x95\x5C";
    const std::string so = "\x83\x5C";
    const std::vector<std::vector<std::string>> cases = {
        {"launcher", "a " + hyo, "second"},
        {"C:\\" + so + "\\" + hyo + " dir\\launcher.exe", hyo, so + "\"", "x " + so + "\\"},
        {"C:\\" + hyo + "\\" + so, "\"" + hyo + " " + so},
    };
    for (const std::vector<std::string>& arguments : cases) {
        EXPECT_EQ(ReadBack(arguments), Widened(arguments)) << Join(arguments);
    }
}

TEST(WindowsCommandLine, SplitsBackIntoTheSameArguments) {
    struct Alphabet {
        unsigned codePage;
        std::vector<std::string> characters;
    };
    const Alphabet alphabets[] = {
        {platform::kCodePageUtf8, {"a", "b", " ", "\\", "\"", "\t", "帳"}},
        {platform::kCodePageShiftJis,
         {"a", " ", "\\", "\"", "\t", "\x95\x5C", "\x83\x5C", "\x82\xA0"}},
        {platform::kCodePageEucJp, {"a", " ", "\\", "\"", "\xC9\xBD", "\x8E\xBF", "\x8F\xA2\xAF"}},
    };
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> length(0, 8);
    for (const Alphabet& alphabet : alphabets) {
        const ScopedAnsiCodePage selected(alphabet.codePage);
        ASSERT_EQ(platform::ActiveAnsiCodePage(), alphabet.codePage);
        std::uniform_int_distribution<std::size_t> pick(0, alphabet.characters.size() - 1);
        for (int round = 0; round < 5000; ++round) {
            std::vector<std::string> arguments;
            const int count = 1 + length(random) % 5;
            for (int i = 0; i < count; ++i) {
                std::string argument;
                const int size = length(random);
                for (int j = 0; j < size; ++j) argument += alphabet.characters[pick(random)];
                arguments.push_back(argument);
            }
            std::vector<std::string> expected = arguments;
            std::erase(expected[0], '"');  // the head cannot hold a quote
            ASSERT_EQ(ReadBack(arguments), Widened(expected)) << Join(arguments);
        }
    }
}

}  // namespace
