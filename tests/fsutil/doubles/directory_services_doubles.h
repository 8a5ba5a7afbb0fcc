// Test doubles for the services that CreateDirectoryTree searches and creates with.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "fsutil/directory_tree.h"
#include "fsutil/ifile_find.h"

// A file system that exists only as a map, recording every search and creation. Names are
// compared exactly as given.
class FakeDirectoryServices final : public DirectoryTreeServices {
  public:
    enum class Kind { kDirectory, kFile };

    class FakeFileFind final : public IFileFind {
      public:
        explicit FakeFileFind(FakeDirectoryServices& owner) : owner_(owner) {}
        int FindFirst(const char* pattern, std::uint32_t /*reserved*/) override {
            owner_.searches.emplace_back(pattern);
            const auto entry = owner_.entries.find(pattern);
            found_ = entry != owner_.entries.end();
            directory_ = found_ && entry->second == Kind::kDirectory;
            stepped_ = false;
            return found_ ? 1 : 0;
        }
        int FindNext() override {
            stepped_ = found_;
            return 0;
        }
        int HasAttributes(std::uint32_t mask) const override {
            return stepped_ && directory_ && (mask & platform::kAttributeDirectory) != 0 ? 1 : 0;
        }

      private:
        FakeDirectoryServices& owner_;
        bool found_ = false;
        bool directory_ = false;
        bool stepped_ = false;
    };

    std::unique_ptr<IFileFind> NewFileFind() override {
        return std::make_unique<FakeFileFind>(*this);
    }
    int CreateOneDirectory(const char* path) override {
        creations.emplace_back(path);
        if (refused.count(path) != 0 || entries.count(path) != 0) return 0;
        entries[path] = Kind::kDirectory;
        return 1;
    }

    std::map<std::string, Kind> entries;
    std::set<std::string> refused;  // creations that fail although the name is free
    std::vector<std::string> searches;
    std::vector<std::string> creations;
};

// The real services, with every search counted and every creation recorded on the way.
class CountingDirectoryServices final : public DirectoryTreeServices {
  public:
    class CountingFileFind final : public IFileFind {
      public:
        explicit CountingFileFind(CountingDirectoryServices& owner) : owner_(owner) {}
        int FindFirst(const char* pattern, std::uint32_t reserved) override {
            ++owner_.searchCount;
            return IFileFind::FindFirst(pattern, reserved);
        }

      private:
        CountingDirectoryServices& owner_;
    };

    std::unique_ptr<IFileFind> NewFileFind() override {
        return std::make_unique<CountingFileFind>(*this);
    }
    int CreateOneDirectory(const char* path) override {
        creations.emplace_back(path);
        if (refused.count(path) != 0) return 0;
        return ::CreateOneDirectory(path);
    }

    long searchCount = 0;
    std::set<std::string> refused;
    std::vector<std::string> creations;
};
