// Where there is no /proc, the launcher finds its own file from the name it was started by.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/posix/executable_path.h"

namespace {

namespace fs = std::filesystem;

class LocateExecutable : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "locate-test-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root_ = fs::canonical(pattern);
        previous_ = fs::current_path();
    }
    void TearDown() override {
        fs::current_path(previous_);
        fs::remove_all(root_);
    }

    std::string Make(const std::string& relative, fs::perms permissions) const {
        const fs::path path = root_ / relative;
        fs::create_directories(path.parent_path());
        std::ofstream(path) << "#!/bin/sh\n";
        fs::permissions(path, permissions);
        return path.string();
    }

    fs::path root_;
    fs::path previous_;
};

TEST_F(LocateExecutable, FollowsTheNameAsExecvpWould) {
    const auto executable = fs::perms::owner_read | fs::perms::owner_exec;
    const std::string program = Make("bin/launcher", executable);
    Make("plain/launcher", fs::perms::owner_read);      // not executable: passed over
    fs::create_directories(root_ / "folder/launcher");  // a folder: passed over
    fs::create_symlink(program, root_ / "link");
    fs::current_path(root_);
    const std::string inRoot = Make("launcher", executable);
    const std::string bin = (root_ / "bin").string();
    const std::string plain = (root_ / "plain").string();
    const std::string folder = (root_ / "folder").string();

    struct Case {
        std::string name;
        std::string searchPath;
        std::string found;
    };
    const Case cases[] = {
        {program, "", program},                                   // absolute
        {"bin/launcher", "", program},                            // relative, with a slash
        {"./bin/../bin/launcher", "", program},                   // made canonical
        {"link", "", program},                                    // an empty path: here
        {"./link", "", program},                                  // symbolic links resolved
        {"launcher", plain + ":" + folder + ":" + bin, program},  // first executable file
        {"launcher", "/nonexistent:" + bin, program},
        {"launcher", folder + "::" + bin, inRoot},  // empty entry: current folder
        {"launcher", plain + ":", inRoot},          // trailing empty entry
        {"launcher", plain, ""},
        {"plain/launcher", bin, ""},
        {"missing", bin, ""},
        {"", bin, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::posix::LocateExecutable(c.name, c.searchPath.c_str()), c.found)
            << c.name << " in " << c.searchPath;
    }
    // No search path at all: the system's default one, where "sh" always is.
    EXPECT_TRUE(fs::path(platform::posix::LocateExecutable("sh", nullptr)).is_absolute());
}

}  // namespace
