// The test splitter that checks the Linux command line, held against Windows' own reader.
#include <windows.h>
// shellapi.h needs windows.h before it.
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "windows_command_line_splitter.h"

namespace {

std::vector<std::u16string> SplitByWindows(const std::u16string& line) {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(reinterpret_cast<LPCWSTR>(line.c_str()), &count);
    std::vector<std::u16string> split;
    for (int i = 0; arguments != nullptr && i < count; ++i) {
        split.emplace_back(reinterpret_cast<const char16_t*>(arguments[i]));
    }
    LocalFree(arguments);
    return split;
}

TEST(WindowsCommandLineSplitter, ReadsAsCommandLineToArgvWDoes) {
    const std::u16string lines[] = {
        u"launcher.exe a b",
        u"\"C:\\Program Files\\launcher.exe\" --exit-code=7",
        u"\"C:\\dir with space\\\" next",  // the head has no escapes
        u"C:\\plain\\ \"C:\\dir with space\\\\\"",
        u"\"\" \"\" x",
        u"\"/opt/xy z/launcher\" \"a b\" C:\\x\\ \"\\\"q\\\"\"",
        u"launcher \"say \\\"hi\\\"\" \\\\server\\share\\ \"trailing\\\\\"",
        u"launcher \"tab\there\" 帳簿 \"消費税 申告\"",
        u"\"表ソ\\launcher\" \"a 表\" second",
        u"launcher a\\\\\\\"b c\\\\\"d e\"",
    };
    for (const std::u16string& line : lines) {
        EXPECT_EQ(SplitWindowsCommandLine(line), SplitByWindows(line))
            << std::string(line.begin(), line.end());
    }
}

}  // namespace
