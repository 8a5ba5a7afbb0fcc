#include "platform/posix/documents_folder_user_dirs_posix.h"

#include <cstring>

namespace platform {
namespace {

// The value of a shell double-quoted string: a backslash keeps the next ", \, $ or ` literal.
std::string UnquoteShellValue(const std::string& quoted) {
    std::string value;
    for (std::size_t at = 0; at < quoted.size(); ++at) {
        if (quoted[at] == '\\' && at + 1 < quoted.size() &&
            std::strchr("\"\\$`", quoted[at + 1]) != nullptr) {
            ++at;
        }
        value += quoted[at];
    }
    return value;
}

}  // namespace

std::string DocumentsFromUserDirsText(const std::string& text, const std::string& home) {
    const std::string key = "XDG_DOCUMENTS_DIR=\"";
    std::string documents;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        if (line.compare(0, key.size(), key) != 0) continue;
        const std::size_t close = line.rfind('"');
        if (close <= key.size() - 1) continue;
        std::string value = UnquoteShellValue(line.substr(key.size(), close - key.size()));
        if (value.compare(0, 5, "$HOME") == 0) {
            value.replace(0, 5, home);
        } else if (value.empty() || value[0] != '/') {
            continue;
        }
        documents = value;
    }
    while (documents.size() > 1 && documents.back() == '/') documents.pop_back();
    return documents == home ? std::string() : documents;
}

}  // namespace platform
