// Compiles only while the platform headers leave the Win32 names free at global scope: a
// namespace of the same name as a type, alias or function declared there is an error. The COM
// binary interface (com_abi.h, and com.h, which speaks it) is the one header that defines them.
#include "platform/activation_context.h"
#include "platform/code_page.h"
#include "platform/diagnostic.h"
#include "platform/directory.h"
#include "platform/documents_folder.h"
#include "platform/file_find.h"
#include "platform/file_open.h"
#include "platform/file_replace.h"
#include "platform/file_time.h"
#include "platform/last_error.h"
#include "platform/library_locale.h"
#include "platform/local_clock.h"
#include "platform/mbstring.h"
#include "platform/message_box.h"
#include "platform/path.h"
#include "platform/process.h"
#include "platform/process_entry.h"
#include "platform/shared_append_file.h"
#include "platform/string_resources.h"
#include "platform/temporary_sibling_name.h"
#include "platform/utf8.h"

// NOLINTBEGIN(readability-identifier-naming): the names are the point.
namespace BOOL {}
namespace BSTR {}
namespace CHAR {}
namespace DWORD {}
namespace FAILED {}
namespace FILETIME {}
namespace GUID {}
namespace HANDLE {}
namespace HMODULE {}
namespace HRESULT {}
namespace IUnknown {}
namespace LONG {}
namespace OLECHAR {}
namespace SYSTEMTIME {}
namespace UINT {}
namespace ULONG {}
namespace WIN32_FIND_DATAA {}
namespace WORD {}
// NOLINTEND(readability-identifier-naming)

#if defined(STDMETHODCALLTYPE) || defined(MAX_PATH) || defined(ReplaceFile)
#error a platform header defines a Win32 macro
#endif
