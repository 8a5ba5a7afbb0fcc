#include "logging/text_file.h"

#include <cstdio>

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
    text.clear();
    std::FILE* stream = platform::OpenRegularFileToRead(path);
    if (stream == nullptr) return TextFileRead::kUnreadable;
    // One byte beyond the limit tells a file that is too large from one that just fits.
    text.resize(limit + 1);
    const std::size_t read = std::fread(text.data(), 1, text.size(), stream);
    const bool failed = std::ferror(stream) != 0;
    std::fclose(stream);
    text.resize(read > limit ? limit : read);
    if (failed) return TextFileRead::kUnreadable;
    return read > limit ? TextFileRead::kTooLarge : TextFileRead::kRead;
}

bool RewriteTextFile(const std::string& path, const std::string& text) {
    std::FILE* stream = platform::OpenRegularFileToRewrite(path);
    return stream != nullptr && WriteAndClose(stream, text);
}

bool WriteTemporarySibling(const std::string& path, const std::string& text,
                           std::string& temporaryPath) {
    std::FILE* stream = platform::CreateTemporarySibling(path, temporaryPath);
    if (stream == nullptr) return false;
    if (WriteAndClose(stream, text)) return true;
    std::remove(temporaryPath.c_str());
    return false;
}
