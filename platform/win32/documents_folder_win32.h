// The Windows documents-folder lookup with its short-name lookup passed in: DocumentsFolder()
// passes the system's own (GetShortPathNameW). Tests pass one that finds no short name, as on
// a volume without 8.3 names, which Wine never is.
#pragma once

#include "platform/code_page.h"
#include "platform/documents_folder.h"

namespace platform::win32 {

// The short (8.3) spelling of a full path; empty when it has none.
using ShortPathLookup = WideString (*)(const WideString& path);

DocumentsFolderLookup DocumentsFolderWith(ShortPathLookup shortPath);

}  // namespace platform::win32
