// The system calls of the shared file layer (util/file_ops.h): attributes,
// moves with flags, copies, hard links, deletion, long path names, and the
// Windows error numbers its callers compare with.
//
// Every function is noexcept, answers false on failure and leaves the reason
// for LastWin32Error() on the calling thread. Paths are UTF-16; POSIX takes
// them as UTF-8.
//
// How the Windows notions map onto POSIX:
// - Attributes: read-only (0x1) = no write permission bit at all; directory
//   (0x10) = a folder (a link to one too); reparse point (0x400) = a
//   symbolic link; normal (0x80) = anything else. Setting attributes
//   with the read-only bit clears every write bit; without it, gives the
//   owner's write bit back. Hidden (0x2) and system (0x4) do not exist: never
//   reported, ignored when set.
// - Moves: a rename. With kMoveReplaceExisting it is rename(2), which
//   replaces an existing file in one atomic step; without it the rename
//   refuses an existing target (renameat2 RENAME_NOREPLACE, or link +
//   unlink). kMoveCopyAllowed copies across file systems; kMoveWriteThrough
//   flushes the file and its folder. kMoveDelayUntilReboot does not exist:
//   the call fails with 120 (ERROR_CALL_NOT_IMPLEMENTED), so "delete at
//   restart" is reported as not possible.
// - Copies: written to a hidden sibling, flushed, then renamed over the
//   target, so a reader never sees half a file. A target without write
//   permission is refused with 5 as CopyFileW refuses a read-only one.
// - Hard links: link(2). Long path names: there are no short 8.3 names, so
//   the long form of an existing path is the path itself.
// - Errors: errno is mapped to the Windows number of the same meaning (see
//   LastWin32Error).
#ifndef ZEVO_OS_FILE_OPS_H_
#define ZEVO_OS_FILE_OPS_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zevo::os {

// File attribute bits, as Windows numbers them.
inline constexpr std::uint32_t kAttributeReadOnly = 0x1;
inline constexpr std::uint32_t kAttributeHidden = 0x2;
inline constexpr std::uint32_t kAttributeSystem = 0x4;
inline constexpr std::uint32_t kAttributeDirectory = 0x10;
inline constexpr std::uint32_t kAttributeNormal = 0x80;
inline constexpr std::uint32_t kAttributeReparsePoint = 0x400;

// MoveFileExW flags.
inline constexpr std::uint32_t kMoveReplaceExisting = 0x1;
inline constexpr std::uint32_t kMoveCopyAllowed = 0x2;
inline constexpr std::uint32_t kMoveDelayUntilReboot = 0x4;
inline constexpr std::uint32_t kMoveWriteThrough = 0x8;

// Windows error numbers the file layer compares with or reports.
inline constexpr std::int32_t kErrorFileNotFound = 2;
inline constexpr std::int32_t kErrorPathNotFound = 3;
inline constexpr std::int32_t kErrorAccessDenied = 5;
inline constexpr std::int32_t kErrorNotEnoughMemory = 8;
inline constexpr std::int32_t kErrorNotSameDevice = 17;
inline constexpr std::int32_t kErrorSharingViolation = 32;
inline constexpr std::int32_t kErrorFileExists = 80;
inline constexpr std::int32_t kErrorInvalidParameter = 87;
inline constexpr std::int32_t kErrorDiskFull = 112;
inline constexpr std::int32_t kErrorCallNotImplemented = 120;
inline constexpr std::int32_t kErrorDirNotEmpty = 145;
inline constexpr std::int32_t kErrorAlreadyExists = 183;
inline constexpr std::int32_t kErrorFilenameTooLong = 206;
inline constexpr std::int32_t kErrorGenFailure = 31;

// The calling thread's last error as a Windows number: GetLastError() on
// Windows; on POSIX errno mapped (ENOENT 2, ENOTDIR 3, EACCES/EPERM/EISDIR/
// EROFS 5, ENOMEM 8, EXDEV 17, EBUSY/ETXTBSY 32, EINVAL 87, ENOSPC 112,
// ENOSYS 120, ENOTEMPTY 145, EEXIST 183, ENAMETOOLONG 206, others 31; 0
// stays 0).
std::int32_t LastWin32Error() noexcept;

// Makes `code` (a Windows number) the calling thread's last error, so that
// LastWin32Error() answers it. On POSIX errno is set to the first errno the
// mapping above turns into `code`.
void SetLastWin32Error(std::int32_t code) noexcept;

// GetFileAttributesW; false when the path does not exist.
bool GetAttributes(std::u16string_view path, std::uint32_t& attributes) noexcept;

// SetFileAttributesW (see the mapping above for POSIX).
bool SetAttributes(std::u16string_view path, std::uint32_t attributes) noexcept;

// MoveFileExW with the flags above. An empty `to` with kMoveDelayUntilReboot
// schedules `from` for deletion at restart (Windows only).
bool MoveWithFlags(std::u16string_view from, std::u16string_view to, std::uint32_t flags) noexcept;

// DeleteFileW / unlink.
bool DeleteFileAt(std::u16string_view path) noexcept;

// CopyFileW: the bytes, the attributes and the last-write time of `from` at
// `to`; fails on an existing `to` when `failIfExists` (80).
bool CopyFileTo(std::u16string_view from, std::u16string_view to, bool failIfExists) noexcept;

// CreateHardLinkW(link, existing) / link(existing, link).
bool MakeHardLink(std::u16string_view link, std::u16string_view existing) noexcept;

// GetLongPathNameW: the long form of an existing path; fails when the path
// does not exist.
bool LongPathOf(std::u16string_view path, std::u16string& longPath) noexcept;

// The full file name of a loaded module (GetModuleFileNameW); null: the
// program. POSIX: the file the handle of dlopen names (dlinfo), null:
// /proc/self/exe.
bool ModuleFileOf(void* module, std::u16string& path) noexcept;

// One entry of a folder listing.
struct FolderEntry {
  std::u16string name;
  bool folder = false;
  // A symbolic link, junction or other reparse point: its target may lie
  // anywhere, so tree copies leave it alone.
  bool link = false;
};

// The entries of `folder` without "." and ".." (FindFirstFileW/FindNextFileW
// on folder + "\\*"; opendir/readdir with lstat). False when the folder
// cannot be listed; `entries` then holds nothing.
bool ListFolder(std::u16string_view folder, std::vector<FolderEntry>& entries) noexcept;

// One open file, for byte copies that keep times (CopyFileContents). Closed
// by the destructor. POSIX has no share modes: they are accepted and
// ignored.
class ContentFile {
 public:
  // Share modes of CreateFileW.
  static constexpr std::uint32_t kShareRead = 0x1;
  static constexpr std::uint32_t kShareWrite = 0x2;
  static constexpr std::uint32_t kShareDelete = 0x4;

  // Creation, last-access and last-write times in 100 ns units since 1601
  // (FILETIME); POSIX keeps no creation time: it reads as the change time
  // and is not set.
  struct Times {
    std::uint64_t creation = 0;
    std::uint64_t lastAccess = 0;
    std::uint64_t lastWrite = 0;
  };

  ContentFile() noexcept;
  ~ContentFile();
  ContentFile(const ContentFile&) = delete;
  ContentFile& operator=(const ContentFile&) = delete;

  bool OpenRead(std::u16string_view path, std::uint32_t share) noexcept;
  // Opens an existing file for reading and writing.
  bool OpenReadWrite(std::u16string_view path) noexcept;
  // Creates or truncates `path` for writing, shared with nobody.
  bool CreateAlways(std::u16string_view path) noexcept;

  // *done = bytes read (0 at the end) or written.
  bool Read(void* buffer, std::uint32_t size, std::uint32_t* done) noexcept;
  bool Write(const void* buffer, std::uint32_t size, std::uint32_t* done) noexcept;

  // Data and metadata on disk (FlushFileBuffers / fsync).
  bool Flush() noexcept;
  bool GetTimes(Times& times) noexcept;
  bool SetTimes(const Times& times) noexcept;
  void Close() noexcept;

  // The system's handle; opaque outside the platform files.
  struct Handle;

 private:
  std::unique_ptr<Handle> handle_;
};

}  // namespace zevo::os

#endif  // ZEVO_OS_FILE_OPS_H_
