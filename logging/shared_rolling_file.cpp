#include "logging/shared_rolling_file.h"

#include <utility>

namespace {

// Each round that finds the file moved by another process starts over at the new file;
// more rounds than this means a storm of rollovers, and the record goes where it can.
constexpr int kRounds = 8;

}  // namespace

SharedRollingFile::SharedRollingFile(std::string path, std::int64_t maxSize, int backups)
    : path_(std::move(path)), maxSize_(maxSize), backups_(backups < 0 ? 0 : backups) {}

bool SharedRollingFile::Open() {
    if (turnedOff_) return false;
    if (file_.IsOpen()) return true;
    const auto opened = file_.Open(path_);
    if (opened == platform::SharedAppendFile::OpenOutcome::kNotRegular) turnedOff_ = true;
    return opened == platform::SharedAppendFile::OpenOutcome::kOpened;
}

bool SharedRollingFile::Append(const std::string& record) {
    for (int round = 1;; ++round) {
        if (!Open()) return false;
        // Without a lock (a file system that has none) an append is still a true append.
        if (!file_.Lock()) return file_.Append(record.data(), record.size());
        if (round < kRounds) {
            // Another process has rolled the file over (or it was removed): on to the new one.
            const std::int64_t size = file_.SizeIfAt(path_);
            if (size < 0 || (size > 0 && size >= maxSize_ && RollOver())) {
                file_.Unlock();
                file_.Close();
                continue;
            }
        }
        const bool written = file_.Append(record.data(), record.size());
        file_.Unlock();
        return written;
    }
}

std::string SharedRollingFile::Backup(int number) const {
    return path_ + "." + std::to_string(number);
}

// Runs under the lock of the file at the path, so nobody else moves these files meanwhile.
bool SharedRollingFile::RollOver() {
    if (backups_ == 0) return platform::RemoveFileAt(path_);
    for (int number = backups_ - 1; number >= 1; --number) {
        platform::MoveFileOver(Backup(number), Backup(number + 1));
    }
    return platform::MoveFileOver(path_, Backup(1));
}
