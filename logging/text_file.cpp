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
    text.clear();
    std::FILE* stream = platform::OpenRegularFileToRead(path);
    if (stream == nullptr) return TextFileRead::kUnreadable;
    // Taken a piece at a time, so that a file costs what it holds, not what the limit allows;
    // one byte beyond the limit tells a file that is too large from one that just fits.
    char piece[4096];
    while (text.size() <= limit) {
        const std::size_t room = limit - text.size();
        const std::size_t wanted = room < sizeof piece ? room + 1 : sizeof piece;
        const std::size_t read = std::fread(piece, 1, wanted, stream);
        text.append(piece, read);
        if (read < wanted) break;  // the end of the file, or an error
    }
    const bool failed = std::ferror(stream) != 0;
    std::fclose(stream);
    const bool tooLarge = text.size() > limit;
    if (tooLarge) text.resize(limit);
    if (failed) return TextFileRead::kUnreadable;
    return tooLarge ? TextFileRead::kTooLarge : TextFileRead::kRead;
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
