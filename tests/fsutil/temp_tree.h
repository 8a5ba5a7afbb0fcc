// A fresh temporary folder per test, removed afterwards.
#pragma once

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

class TempTree {
  public:
    TempTree() {
        std::random_device random;
        const std::filesystem::path base =
            std::filesystem::canonical(std::filesystem::temp_directory_path());
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::filesystem::path candidate =
                base / ("fsutil-test-" + std::to_string(random()));
            if (std::filesystem::create_directory(candidate)) {
                root_ = candidate;
                return;
            }
        }
        throw std::runtime_error("no temporary folder");
    }
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;
    ~TempTree() {
        std::error_code ignored;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root_, ignored)) {
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
        }
        std::filesystem::remove_all(root_, ignored);
    }

    // The folder itself, absolute, in the system's own spelling.
    std::string Root() const { return root_.string(); }

    // Root and `relative`, written with "/", joined with the system's separator: "\" as the
    // launcher's callers write paths on Windows, "/" on Linux, where "\" is part of a name.
    // ("/" is never the second byte of a double-byte character, so names stay whole.)
    std::string Path(std::string relative) const {
        for (char& byte : relative) {
            if (byte == '/') byte = Separator()[0];
        }
        return Root() + Separator() + relative;
    }

    // Root and `relative` (written with "/") as the system spells them.
    std::string Native(const std::string& relative) const {
        return (root_ / std::filesystem::path(relative).make_preferred()).string();
    }

    // The system's own separator, for paths that the tests hand to the C library themselves.
    static std::string Separator() {
        return std::string(1, static_cast<char>(std::filesystem::path::preferred_separator));
    }

    void MakeDir(const std::string& relative) const {
        std::filesystem::create_directories(root_ / relative);
    }
    void MakeFile(const std::string& relative) const {
        std::FILE* file = std::fopen((root_ / relative).string().c_str(), "wb");
        if (file == nullptr) throw std::runtime_error("cannot create " + relative);
        std::fclose(file);
    }
    bool IsDirectory(const std::string& relative) const {
        return std::filesystem::is_directory(root_ / relative);
    }
    bool Exists(const std::string& relative) const {
        return std::filesystem::exists(root_ / relative);
    }
    const std::filesystem::path& RootPath() const { return root_; }

  private:
    std::filesystem::path root_;
};
