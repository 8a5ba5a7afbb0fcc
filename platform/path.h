// Path services of the C runtime, multibyte-aware in the ANSI code page.
#pragma once

#include <cstddef>
#include <string_view>

namespace platform {

// How a path's text is read, as LLVM's sys::path::Style: Windows-style text separates levels
// with "\" and "/" and may begin with a drive; a Posix path separates them with "/" only, since
// "\" is an ordinary byte of a Linux name. Every function that reads one path reads it in the
// same style; the system's own paths are in the native style.
enum class PathStyle { kWindows, kPosix };

// The style of this system's own paths: Windows style on Windows, Posix style elsewhere.
extern const PathStyle kNativePathStyle;

// Separator that this system's own paths are joined with: "\" on Windows, "/" elsewhere.
constexpr char PreferredSeparator(PathStyle style) {
    return style == PathStyle::kWindows ? '\\' : '/';
}
extern const char kPathSeparator;

// Whether `byte`, standing as a character of its own, separates levels in `style`.
constexpr bool IsPathSeparator(char byte, PathStyle style) {
    return byte == '/' || (byte == '\\' && style == PathStyle::kWindows);
}

constexpr std::size_t kMaxPath = 260;
constexpr std::size_t kMaxDrive = 3;
constexpr std::size_t kMaxDir = 256;
constexpr std::size_t kMaxFname = 256;
constexpr std::size_t kMaxExt = 256;

// _splitpath: drive (kMaxDrive bytes; Windows style only), directory up to and including its
// last separator (kMaxDir), name (kMaxFname) and extension from the last "." (kMaxExt). Any
// output may be null. Components are copied in whole characters only, as _mbsnbcpy copies: a
// component too long for its buffer is cut before the character that does not fit, and a lead
// byte with nothing after it is left out. Windows uses the C runtime for Windows-style text.
void SplitPath(const char* path, char* drive, char* dir, char* fname, char* ext,
               PathStyle style = kNativePathStyle);

// The splitter written here, for either style: SplitPath on Linux, and for Posix-style text on
// Windows, whose runtime knows only its own style.
void SplitPathWrittenHere(const char* path, char* drive, char* dir, char* fname, char* ext,
                          PathStyle style);

// One component of SplitPath into `out` (nothing when it is null), a buffer of `capacity`
// bytes, cut in whole characters as SplitPath cuts it: the copy that both splitters make.
void CopySplitComponent(std::string_view component, char* out, std::size_t capacity);

// _fullpath: `name` made absolute against the current directory, with "." and ".." levels
// resolved by name alone, into `buffer` of `capacity` bytes. Null when it does not fit or
// cannot be formed. Linux forms it without touching the disk; only "/" separates levels there.
char* FullPath(char* buffer, const char* name, std::size_t capacity);

}  // namespace platform
