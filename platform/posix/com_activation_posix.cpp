#include "platform/posix/com_activation_posix.h"

#include <expat.h>
#include <strings.h>

#include <cstdio>

namespace platform::posix {
namespace {

struct ManifestSearch {
    XML_Parser parser;
    std::string wantedClass;
    std::string currentFile;
    std::optional<std::string> found;
};

const char* Attribute(const XML_Char** attributes, const char* name) {
    for (int i = 0; attributes[i] != nullptr; i += 2) {
        if (std::string_view(attributes[i]) == name) return attributes[i + 1];
    }
    return nullptr;
}

void XMLCALL OnStartElement(void* userData, const XML_Char* element, const XML_Char** attributes) {
    auto* search = static_cast<ManifestSearch*>(userData);
    const std::string_view name(element);
    if (name == "file") {
        const char* fileName = Attribute(attributes, "name");
        search->currentFile = fileName != nullptr ? fileName : "";
    } else if (name == "comClass" && !search->found && !search->currentFile.empty()) {
        const char* clsid = Attribute(attributes, "clsid");
        // Class identifiers compare without regard to case, as COM compares them.
        if (clsid != nullptr && strcasecmp(clsid, search->wantedClass.c_str()) == 0) {
            search->found = search->currentFile;
            // The rest of the manifest cannot change the answer: it is not read at every start.
            XML_StopParser(search->parser, XML_FALSE);
        }
    }
}

void XMLCALL OnEndElement(void* userData, const XML_Char* element) {
    if (std::string_view(element) == "file") {
        static_cast<ManifestSearch*>(userData)->currentFile.clear();
    }
}

}  // namespace

std::string FormatGuid(REFGUID guid) {
    char text[39];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0],
                  guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5],
                  guid.Data4[6], guid.Data4[7]);
    return text;
}

std::optional<std::string> FindClassFile(std::string_view manifest, REFCLSID classId) {
    XML_Parser parser = XML_ParserCreate(nullptr);
    if (parser == nullptr) return std::nullopt;
    ManifestSearch search{parser, FormatGuid(classId), {}, {}};
    XML_SetUserData(parser, &search);
    XML_SetElementHandler(parser, OnStartElement, OnEndElement);
    const bool wellFormed = XML_Parse(parser, manifest.data(), static_cast<int>(manifest.size()),
                                      XML_TRUE) == XML_STATUS_OK;
    const bool stoppedAtTheClass = XML_GetErrorCode(parser) == XML_ERROR_ABORTED;
    XML_ParserFree(parser);
    if (!wellFormed && !stoppedAtTheClass) return std::nullopt;
    return search.found;
}

std::string LocalModuleName(const std::string& manifestFileName) {
    const std::size_t dot = manifestFileName.rfind('.');
    if (dot != std::string::npos && strcasecmp(manifestFileName.c_str() + dot, ".dll") == 0) {
        return manifestFileName.substr(0, dot) + ".so";
    }
    return manifestFileName;
}

}  // namespace platform::posix
