#include "logging/log_properties.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "fsutil/directory_tree.h"
#include "generated_properties_fixture.h"
#include "local_clock_fake.h"
#include "logging/log4cxx_configuration.h"
#include "logging/settings_encoding.h"
#include "platform/code_page.h"
#include "platform/path.h"
#include "support/scoped_code_page.h"

namespace {

std::string LogPropertiesText(const std::string& programName, const std::string& logFolder,
                              const std::string& versionSuffix, const std::string& dateStamp) {
    return PropertiesFileText(LogPropertyEntries(programName, logFolder, versionSuffix, dateStamp));
}

class ShiftJisSelected : public ::testing::Test {
  private:
    ScopedAnsiCodePage shiftJis_{platform::kCodePageShiftJis};
};

TEST(VersionSuffix, LeavesOutOnlyAZeroFourthNumber) {
    EXPECT_EQ(VersionSuffix(1, 0, 0, 0), ".1.0.0");
    EXPECT_EQ(VersionSuffix(1, 2, 3, 4), ".1.2.3.4");
    EXPECT_EQ(VersionSuffix(1, 2, 0, 0), ".1.2.0");
    EXPECT_EQ(VersionSuffix(0, 0, 0, 0), ".0.0.0");
    EXPECT_EQ(VersionSuffix(-1, 0, -2, -3), ".-1.0.-2.-3");
    EXPECT_EQ(VersionSuffix(INT_MIN, INT_MAX, 0, -1), ".-2147483648.2147483647.0.-1");
}

TEST(LogPropertiesText, IsTheSevenLinesWithEscapedSeparators) {
    const std::string text = LogPropertiesText(
        "sample", "C:\\Users\\u\\Documents\\Orvane\\SystemLog\\sample\\", ".1.0.0", "20160920");
    std::string expected = kGeneratedPropertiesFixture;
    const std::string logFile = "{LOG_FILE}";
    ASSERT_NE(expected.find(logFile), std::string::npos);
    expected.replace(expected.find(logFile), logFile.size(),
                     "C:\\\\Users\\\\u\\\\Documents\\\\Orvane\\\\SystemLog\\\\sample\\\\"
                     "sample.1.0.0Log_20160920.txt");
    EXPECT_EQ(text, expected);
}

TEST_F(ShiftJisSelected, EscapingLeavesBackslashSecondBytesAlone) {
    // C:\表\ソフト\ : 表 and ソ end in 0x5C; only the three separators are doubled.
    const std::string folder = "C:\\\x95\\\\\x83\\\x83t\x83g\\";
    EXPECT_EQ(EscapePropertyValue(folder), "C:\\\\\x95\\\\\\\x83\\\x83t\x83g\\\\");
    EXPECT_EQ(EscapePropertyValue("a\nb\rc"), "a\\nb\\rc");
    // A lead byte at the very end has no second byte to protect.
    EXPECT_EQ(EscapePropertyValue("x\x95"), "x\x95");
}

TEST(EscapePropertyValue, InUtf8EveryBackslashIsASeparator) {
    const ScopedAnsiCodePage utf8(platform::kCodePageUtf8);
    EXPECT_EQ(EscapePropertyValue("/home/u/ドキュメント\\x"), "/home/u/ドキュメント\\\\x");
}

class TemporaryFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ =
            std::filesystem::temp_directory_path() /
            ("logging-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
        // The day every start below sees (the platform's clock is the test double's).
        local_clock_fake::SetLocalDate(2016, 9, 20);
    }
    void TearDown() override { std::filesystem::remove_all(root_); }
    std::string Root() const { return root_.string(); }
    static std::string Read(const std::string& path) {
        std::ifstream file(path);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

    std::filesystem::path root_;
};

TEST_F(TemporaryFolder, WritesTheDaysFileAndCreatesTheLogFolder) {
    const char sep = platform::kPathSeparator;
    const std::string path = WriteLogProperties("TaxLink", Root(), 1, 2, 3, 0).path;

    EXPECT_EQ(path, Root() + sep + "TaxLink.ini");
    const std::string folder = Root() + sep + "TaxLink" + sep;
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(Read(path), LogPropertiesText("TaxLink", folder, ".1.2.3", "20160920"));

    // Any other content is replaced whole; nothing but the file and the folder remain.
    { std::ofstream(path) << "hand edit\n"; }
    WriteLogProperties("TaxLink", Root(), 1, 2, 3, 0);
    EXPECT_EQ(Read(path), LogPropertiesText("TaxLink", folder, ".1.2.3", "20160920"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(root_),
                            std::filesystem::directory_iterator()),
              2);

    // The next day's start names the next day's log.
    local_clock_fake::SetLocalDate(2016, 9, 21);
    WriteLogProperties("TaxLink", Root(), 1, 2, 3, 0);
    EXPECT_EQ(Read(path), LogPropertiesText("TaxLink", folder, ".1.2.3", "20160921"));
}

TEST_F(TemporaryFolder, AFileThatAlreadyHoldsTheTextIsLeftUntouched) {
    const std::string path = WriteLogProperties("TaxLink", Root(), 1, 0, 0, 0).path;
    const std::string text = Read(path);
    // A time stamp long past: a rewrite or a replacement would give the file the present one.
    // Whole seconds, which every file system keeps exactly.
    const auto longAgo = std::chrono::time_point_cast<std::filesystem::file_time_type::duration>(
        std::chrono::floor<std::chrono::seconds>(std::filesystem::file_time_type::clock::now() -
                                                 std::chrono::hours(24 * 400)));
    std::filesystem::last_write_time(path, longAgo);

    WriteLogProperties("TaxLink", Root(), 1, 0, 0, 0);
    EXPECT_EQ(std::filesystem::last_write_time(path), longAgo);
    EXPECT_EQ(Read(path), text);

    // One byte more, and it is replaced.
    { std::ofstream(path, std::ios::app) << "#"; }
    std::filesystem::last_write_time(path, longAgo);
    WriteLogProperties("TaxLink", Root(), 1, 0, 0, 0);
    EXPECT_NE(std::filesystem::last_write_time(path), longAgo);
    EXPECT_EQ(Read(path), text);
}

// A file last written `age` ago, in whole seconds, which every file system keeps.
void PlantFile(const std::string& path, std::chrono::seconds age) {
    { std::ofstream(path) << "left behind\n"; }
    std::filesystem::last_write_time(
        path, std::chrono::time_point_cast<std::filesystem::file_time_type::duration>(
                  std::chrono::floor<std::chrono::seconds>(
                      std::filesystem::file_time_type::clock::now() - age)));
}

constexpr std::chrono::seconds kYoung{30};
constexpr std::chrono::seconds kOld{90};
constexpr std::chrono::seconds kLongAgo{60 * 60 * 24 * 40};

TEST_F(TemporaryFolder, TheDaysFirstStartRemovesItsOwnLeftoversOlderThanAMinute) {
    const struct {
        const char* name;
        std::chrono::seconds age;
        bool remains;
    } cases[] = {
        {"TaxLink.ini.0123456789ab.tmp", kOld, false},
        {"TaxLink.ini.zzzzzzzzzzzz.tmp", kLongAgo, false},
        // Another start's, about to be moved over the file.
        {"TaxLink.ini.abcdefghijkl.tmp", kYoung, true},
        // The user's, and names that only look like ours.
        {"TaxLink.ini.backup", kLongAgo, true},
        {"TaxLink.ini.a1B2c3", kLongAgo, true},
        {"TaxLink.ini.x.tmp", kLongAgo, true},
        {"TaxLink.ini.0123456789a.tmp", kLongAgo, true},
        {"TaxLink.ini.0123456789abc.tmp", kLongAgo, true},
        {"TaxLink.ini.QRSTUVWXYZ01.tmp", kLongAgo, true},
        {"TaxLink.ini.01234567-9ab.tmp", kLongAgo, true},
        {"TaxLink.ini.0123456789ab.tmp.old", kLongAgo, true},
        {"TaxLink.ini.0123456789ab.txt", kLongAgo, true},
        {"TaxLink.ini0123456789ab.tmp", kLongAgo, true},
        // Other programs' leftovers.
        {"Other.ini.0123456789ab.tmp", kLongAgo, true},
        {"TaxLinkX.ini.0123456789ab.tmp", kLongAgo, true},
        {"XTaxLink.ini.0123456789ab.tmp", kLongAgo, true},
        {".ini.0123456789ab.tmp", kLongAgo, true},
    };
    const auto at = [&](const char* name) { return Root() + platform::kPathSeparator + name; };
    for (const auto& c : cases) PlantFile(at(c.name), c.age);

    const std::string path = WriteLogProperties("TaxLink", Root(), 1, 0, 0, 0).path;

    EXPECT_TRUE(std::filesystem::is_regular_file(path));
    for (const auto& c : cases) {
        EXPECT_EQ(std::filesystem::exists(at(c.name)), c.remains) << c.name;
    }
}

TEST_F(TemporaryFolder, StartsThatFindTheDaysTextLookForNoLeftovers) {
    const std::string path = WriteLogProperties("TaxLink", Root(), 1, 0, 0, 0).path;
    const std::string leftover = path + ".0123456789ab.tmp";
    PlantFile(leftover, kLongAgo);

    // The text is there already: the start does nothing beside it.
    WriteLogProperties("TaxLink", Root(), 1, 0, 0, 0);
    EXPECT_TRUE(std::filesystem::exists(leftover));

    // The next day's first start writes the file, and clears up.
    local_clock_fake::SetLocalDate(2016, 9, 21);
    WriteLogProperties("TaxLink", Root(), 1, 0, 0, 0);
    EXPECT_FALSE(std::filesystem::exists(leftover));
}

TEST_F(TemporaryFolder, EmptyProgramNameWritesAFileNamedOnlyByItsExtension) {
    const char sep = platform::kPathSeparator;
    const std::string path = WriteLogProperties("", Root(), 1, 0, 0, 0).path;
    EXPECT_EQ(path, Root() + sep + ".ini");
    // The log folder is the root and the empty name between two separators.
    EXPECT_EQ(Read(path), LogPropertiesText("", Root() + sep + sep, ".1.0.0", "20160920"));
}

TEST_F(TemporaryFolder, ALogRootThatCannotBeMadeLosesNothing) {
    const char sep = platform::kPathSeparator;
    const std::string root = Root() + sep + "absent";
    // A file stands where the log root should be: nothing can be made below it, so nothing
    // is written, the file keeps its bytes, and the caller still gets the path it asked for.
    const std::string content = "a file where the folder should be";
    { std::ofstream(root) << content; }
    const GeneratedConfiguration generated = WriteLogProperties("TaxLink", root, 1, 0, 0, 0);
    EXPECT_EQ(generated.path, root + sep + "TaxLink.ini");
    EXPECT_TRUE(generated.properties.empty());
    EXPECT_TRUE(std::filesystem::is_regular_file(root));
    EXPECT_EQ(Read(root), content);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(root_),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(TemporaryFolder, Log4cxxIsGivenWhatTheFileSays) {
    const ScopedAnsiCodePage shiftJis(platform::kCodePageShiftJis);
    const char sep = platform::kPathSeparator;
    // A root whose Japanese name ends in 0x5C second bytes, next to real separators; made
    // through the ANSI file services, as the launcher makes its folders.
    const std::string root = Root() + sep + "\x95\\\x83\\";
    ASSERT_EQ(CreateDirectoryTree(root.c_str()), 1);
    // The start that writes the file, and one that finds it written.
    for (int start = 0; start < 2; ++start) {
        const GeneratedConfiguration generated = WriteLogProperties("TaxLink", root, 1, 0, 0, 0);
        const auto& properties = generated.properties;
        ASSERT_EQ(properties.size(), 7u);
        EXPECT_EQ(properties.at("log4j.rootLogger"), "Info, ovAppender");
        // Decoded to UTF-8: 表 and ソ, each once, and no second byte taken for an escape.
        EXPECT_EQ(properties.at("log4j.appender.ovAppender.File"),
                  Root() + sep + "表ソ" + sep + "TaxLink" + sep + "TaxLink.1.0.0Log_20160920.txt");
        EXPECT_EQ(properties.at("log4j.appender.ovAppender.layout.ConversionPattern"),
                  "%d{yyyy-MM-dd HH:mm:ss} [%5p] %l %M - %m%n");
        // The file, read by log4cxx's own rules, says exactly that.
        EXPECT_EQ(ParseUtf8SettingsText(DecodeSettingsText(Read(generated.path)).utf8), properties);
    }
}

}  // namespace
