// The XDG user-dirs file is written by other programs and by hand: whatever it holds, the
// documents folder read from it is empty or an absolute path other than the home folder.
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "platform/posix/documents_folder_user_dirs_posix.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string home = "/home/u";
    const std::string documents = platform::DocumentsFromUserDirsText(text, home);
    if (documents.empty()) return 0;
    FUZZ_CHECK(documents[0] == '/');
    FUZZ_CHECK(documents != home);
    FUZZ_CHECK(documents == "/" || documents.back() != '/');
    FUZZ_CHECK(documents.find('\n') == std::string::npos);
    // Nothing comes from elsewhere: at most the home folder in place of "$HOME".
    FUZZ_CHECK(documents.size() <= text.size() + home.size());
    return 0;
}
