#include "logging/text_file.h"

#include <cstdio>
#include <utility>

#include "platform/file_open.h"
#include "platform/file_replace.h"

namespace {

// Writes the text and closes the stream; false when any of it failed.
bool WriteAndClose(std::FILE* stream, const std::string& text) {
    const bool written = std::fwrite(text.data(), 1, text.size(), stream) == text.size();
    return std::fclose(stream) == 0 && written;
}

}  // namespace

TextFileRead ReadTextFile(const std::string& path, std::size_t limit, std::string& text) {
    // One byte beyond the limit tells a file that is too large from one that just fits.
    if (!platform::ReadRegularFile(path, limit + 1, text)) return TextFileRead::kUnreadable;
    if (text.size() <= limit) return TextFileRead::kRead;
    text.resize(limit);
    return TextFileRead::kTooLarge;
}

bool RewriteTextFile(const std::string& path, const std::string& text) {
    std::FILE* stream = platform::OpenRegularFileToRewrite(path);
    return stream != nullptr && WriteAndClose(stream, text);
}

bool WriteTemporarySibling(const std::string& path, const std::string& text,
                           std::string& temporaryPath) {
    std::string created;
    std::FILE* stream = platform::CreateTemporarySibling(path, created);
    if (stream == nullptr) return false;
    if (!WriteAndClose(stream, text)) {
        std::remove(created.c_str());
        return false;
    }
    // Only a file that is there is named to the caller.
    temporaryPath = std::move(created);
    return true;
}
