// Walks the entries of one folder that match a name or wildcard pattern, one entry ahead.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "fsutil/itime.h"
#include "platform/file_find.h"

// FindFirst's second argument: look the name up exactly as it is written, wildcards included,
// rather than as a pattern. A Linux name may hold "*" and "?"; no Windows name can.
constexpr std::uint32_t kFindExactName = 0x1;

// After FindFirst succeeds the first match waits unseen in the look-ahead record; each
// FindNext makes the next match current and reports whether a further one follows. So the
// call that makes the last match current returns 0 while that entry stays valid.
//
// The operations are virtual in a fixed order and call one another through the virtual table,
// so that a derived class that overrides one also changes those built on it.
class IFileFind {
  public:
    IFileFind();
    IFileFind(const IFileFind&) = delete;
    IFileFind& operator=(const IFileFind&) = delete;

    // Ends the search and frees both records; the search folder is kept.
    void Close();

    virtual ~IFileFind();
    virtual std::string GetName() const;
    virtual std::string GetPath() const;
    virtual std::string GetBaseName() const;
    virtual std::string GetUrl() const;
    virtual std::string GetFolder() const;
    virtual int GetWriteTime(ITime& time) const;
    virtual int GetWriteTime(platform::FileTime* time) const;
    virtual int GetAccessTime(ITime& time) const;
    virtual int GetAccessTime(platform::FileTime* time) const;
    virtual int GetCreateTime(ITime& time) const;
    virtual int GetCreateTime(platform::FileTime* time) const;
    virtual int HasAttributes(std::uint32_t mask) const;
    virtual int IsDotEntry() const;
    // `pattern` null searches "*.*" in the current directory. `flags` is 0, or kFindExactName.
    // The folder part is never a pattern.
    virtual int FindFirst(const char* pattern, std::uint32_t flags);
    virtual int FindNext();
    virtual void CloseSearchHandle();

  private:
    // The time queries differ only in the time stamp of the current entry they read.
    using EntryTime = platform::FileTime platform::FindData::*;
    int ReadTime(EntryTime which, ITime& time) const;
    int CopyTime(EntryTime which, platform::FileTime* time) const;

    std::unique_ptr<platform::FindData> current_;
    std::unique_ptr<platform::FindData> lookAhead_;
    platform::SearchHandle handle_;
    std::string folder_;
    const char separator_;
};
