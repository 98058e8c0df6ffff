// The shared file layer: existence, full paths, counter files, version
// strings, replacing files that may be in use, and copying or updating
// folder trees with the ".cfg" naming scheme. Wildcards and short names are
// in path_match.h.
//
// Paths are UTF-16 texts; a null pointer is accepted wherever a path is and
// answers as stated. Functions returning an error code return 0 for success
// and otherwise a Windows error number (on POSIX mapped from errno, see
// os/file_ops.h, which also documents how read-only, hard links, renames and
// "delete at restart" are carried out there). Nothing throws. Log lines go to
// "Util COMMON" under the file name "Std_Utils_File".
#ifndef ZEVO_UTIL_FILE_OPS_H_
#define ZEVO_UTIL_FILE_OPS_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace zevo::util {

// The extension the ".cfg" naming scheme appends and removes.
inline constexpr std::u16string_view kCfgExtension = u".cfg";

// Modes of ChangeFileExtension / MatchFileExtension / the folder copies.
inline constexpr int kExtensionAppendCfg = 1;
inline constexpr int kExtensionRemoveLast = 2;

// True when the system reports attributes for `path` (file or folder).
bool FileExists(const char16_t* path) noexcept;
// True when `path` exists and is a folder.
bool DirectoryExists(const char16_t* path) noexcept;

// The full path of `path` (GetFullPathNameW; POSIX: made absolute against
// the working folder and lexically normal, nothing needs to exist). `full`
// is written only on success; false for a null or empty path.
bool GetFullPath(const char16_t* path, std::u16string& full) noexcept;

// The folder of the module's file name with a trailing separator; null
// names the program. Empty when the name cannot be had.
std::u16string GetModuleDirectory(void* module) noexcept;

// The fixed version block of the file's version resource: the high and low
// word of its most significant value, the low word of its least significant
// one. POSIX reads the PE file's resource section; any other file (ELF) has
// none: false.
bool GetFileVersionParts(const char16_t* path, std::uint32_t& major, std::uint32_t& minor,
                         std::uint32_t& fourth) noexcept;
// "major.minor.fourth" (2.1.0.1248 reads "2.1.1248"); false when `path` is
// null, missing or without a version.
bool GetFileVersionString(const char16_t* path, std::u16string& text) noexcept;

// The number as decimal text, replacing the file's content.
bool WriteNumberToFile(std::uint32_t value, const char16_t* path) noexcept;
// The decimal number at the start of the file (blanks before it skipped).
// False for a null path, a file that cannot be opened, and a file that does
// not start with a number that fits: text, a sign, nothing, 2^32 or more.
bool ReadNumberFromFile(std::uint32_t& value, const char16_t* path) noexcept;

// True when the file does not exist; else sets its attributes to normal.
bool ResetFileAttributeByUpdate(const char16_t* path) noexcept;
// True when the file does not exist; else resets its attributes and deletes
// it. False only when the reset worked and the deletion did not (a failed
// reset answers true without deleting).
bool DeleteExistingFileByUpdate(const char16_t* path) noexcept;

// Mode 1 appends ".cfg"; mode 2 cuts from the last '.' on (false, logged,
// when there is none); other modes change nothing.
bool ChangeFileExtension(std::u16string& name, int mode) noexcept;
// Whether the extension of `name` (mode 2: of `name` without its last
// extension) is exactly `extension`, dot included (".dll").
bool MatchFileExtension(std::u16string_view name, std::u16string_view extension, int mode) noexcept;

// base + "." + counter + "." + suffix for the first counter, starting at the
// seconds since 1970, for which no file or folder exists.
bool MakeUniqueSiblingName(std::u16string_view base, std::u16string_view suffix, std::u16string& name) noexcept;

// MoveFileExW with a fallback where it is not implemented (120): a plain
// move on the same drive, a copy and delete across drives when flags allow.
bool MoveFileWithFallback(const char16_t* source, const char16_t* target, std::uint32_t flags,
                          bool resetAttributes) noexcept;

// Puts `source` at `target` as a hard link, even when `target` is in use:
// a hard link beside the target is moved over it; when that fails the target
// is renamed aside to a "bak" name first. If the move still fails the "bak"
// file is moved back, so `target` keeps its old content.
std::int32_t ReplaceByHardLink(const char16_t* target, const char16_t* source) noexcept;

// CopyFileW; on a sharing violation (32) or access denied (5) the target is
// renamed aside to a "bak" name and the copy tried again. If that fails too,
// the "bak" file is moved back, so `target` keeps its old content.
std::int32_t CopyFileWithRetry(const char16_t* source, const char16_t* target) noexcept;

// A byte copy that keeps the source's times and attributes. A target whose
// last-write time equals the source's is taken as up to date. A copy that
// fails after the target was created removes the target again, so that a
// short file is never taken as up to date later.
bool CopyFileContents(const char16_t* source, const char16_t* target, bool renameLockedTarget) noexcept;

// Copies the files of `sourceDir` whose extension matches `pattern` ("*":
// all) to `targetDir`, renamed by `extMode`, as hard links or copies;
// subfolders too when `recursive`. Symbolic links and junctions are skipped
// (their target may lie outside the tree), and so is a target folder at or
// below the source folder. False only for null arguments, a target inside
// the source and a source that cannot be listed.
bool CopyFolder(const char16_t* sourceDir, const char16_t* targetDir, const char16_t* pattern, bool recursive,
                bool useHardLink, int extMode) noexcept;

// As CopyFolder, replacing files that may be in use (ReplaceByHardLink when
// `useMove`, then CopyFileWithRetry). 87 for null arguments or a target
// inside the source, 0 for a source that cannot be listed, else the first
// copy error.
std::int32_t UpdateFolder(const char16_t* sourceDir, const char16_t* targetDir, const char16_t* pattern, bool recursive,
                          bool useMove, int extMode) noexcept;

// Adds 1 to the numbers in "restore.ini" and "restore.txt" of `folder`.
bool IncreaseRestoreCounters(const char16_t* folder) noexcept;

}  // namespace zevo::util

#endif  // ZEVO_UTIL_FILE_OPS_H_
