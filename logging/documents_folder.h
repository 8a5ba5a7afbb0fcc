#pragma once

// The current user's folder `folderId` (5: the documents folder) into `buffer` (at least 260
// bytes): its current path, else, when `create` is set, its default path, created when
// missing. True when a non-empty path was obtained. The buffer is cleared first, and only
// then; a failed lookup leaves in it whatever the lookup wrote.
bool GetDocumentsFolder(char* buffer, int folderId, bool create);
