// File system calls of the backup path: folders, existence, moving files,
// the first file of a folder that matches a pattern, full paths.
//
// Every function is noexcept and answers false on failure; LastErrorCode()
// and LastErrorText() (system_error.h) then tell why, on the calling thread.
// Paths are UTF-16; POSIX takes them as UTF-8.
#ifndef ZEVO_OS_FILE_SYSTEM_H_
#define ZEVO_OS_FILE_SYSTEM_H_

#include <string>
#include <string_view>

namespace zevo::os {

// Creates one folder; its parent must exist. False when it exists already.
// Windows: CreateDirectoryW. POSIX: mkdir with mode 0777 (umask applies).
bool CreateFolder(std::u16string_view path) noexcept;

// True when a file or folder exists at `path` (_waccess / access, mode 0).
bool PathExists(std::u16string_view path) noexcept;

// Moves the file `from` to `to`, which must not exist yet; a move to
// another volume copies and then deletes the original. Windows: MoveFileW.
// POSIX: rename without replacing (renameat2 RENAME_NOREPLACE, else
// link + unlink); across file systems a copy (bytes, permission bits, last
// write time, flushed to disk) and then unlink. A failed copy leaves `to`
// absent and `from` untouched.
bool MoveFileTo(std::u16string_view from, std::u16string_view to) noexcept;

// Asks the system to delete `path` at the next restart. Windows:
// MoveFileExW(path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT), which needs
// administrator rights. POSIX has no such facility: always false, with
// errno ENOSYS.
bool DeleteAtRestart(std::u16string_view path) noexcept;

// Removes an empty folder (RemoveDirectoryW / rmdir).
bool RemoveFolder(std::u16string_view path) noexcept;

// The name (without folder) of the first entry of `folder` whose name
// matches `pattern` ('*' any run, '?' one character). A separator is put
// between folder and pattern unless `folder` ends with one. Windows:
// FindFirstFileW (case-insensitive, as the system matches). POSIX: the
// directory's entries in the order readdir gives them, matched with
// fnmatch on the UTF-8 names ('?' matches one byte), "." and ".." skipped.
// False when nothing matches (LastErrorCode() is ENOENT /
// ERROR_FILE_NOT_FOUND then) or the folder cannot be read.
bool FindFirstMatch(std::u16string_view folder, std::u16string_view pattern, std::u16string& name) noexcept;

// The full path of `path`: Windows GetFullPathNameW (a buffer of 260
// characters first, the reported size when that is too small). POSIX:
// relative paths are taken from the working folder, then made lexically
// normal ("." and ".." resolved, repeated separators joined); symbolic
// links are not resolved and nothing needs to exist. `full` is written only
// on success.
bool GetFullPath(std::u16string_view path, std::u16string& full) noexcept;

}  // namespace zevo::os

#endif  // ZEVO_OS_FILE_SYSTEM_H_
