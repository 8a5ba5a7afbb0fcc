#include "platform/posix/com_activation_posix.h"

#include <strings.h>

#include <cstdio>

namespace platform::posix {

std::string FormatGuid(REFGUID guid) {
    char text[39];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0],
                  guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5],
                  guid.Data4[6], guid.Data4[7]);
    return text;
}

std::optional<std::string> FindClassFile(std::span<const DeclaredClass> classes, REFCLSID classId) {
    const std::string wanted = FormatGuid(classId);
    for (const DeclaredClass& declared : classes) {
        // Class identifiers compare without regard to case, as COM compares them.
        if (declared.classId.size() == wanted.size() &&
            strncasecmp(declared.classId.data(), wanted.c_str(), wanted.size()) == 0) {
            return std::string(declared.file);
        }
    }
    return std::nullopt;
}

std::string LocalModuleName(const std::string& manifestFileName) {
    const std::size_t dot = manifestFileName.rfind('.');
    if (dot != std::string::npos && strcasecmp(manifestFileName.c_str() + dot, ".dll") == 0) {
        return manifestFileName.substr(0, dot) + ".so";
    }
    return manifestFileName;
}

}  // namespace platform::posix
