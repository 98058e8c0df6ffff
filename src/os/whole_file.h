// Whole-file reads and writes for small files that are read and replaced as
// one piece (the system configuration file): in place, or replaced in one
// step.
#ifndef ZEVO_OS_WHOLE_FILE_H_
#define ZEVO_OS_WHOLE_FILE_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zevo::os {

enum class ReadFileResult { kOk, kMissing, kFailed };

// Reads the whole file at `path` into `bytes`. kMissing when there is no
// such file, kFailed when it cannot be opened or read or is 4 GiB or larger
// (LastErrorCode() tells why where the system does).
ReadFileResult ReadWholeFile(std::u16string_view path, std::vector<std::uint8_t>& bytes) noexcept;

// A file created for writing, replacing any file of that name, not shared
// with other openers while it is open (Windows). Closed by the destructor.
class NewFile {
 public:
  // The file flags as Windows takes them, also reported on POSIX.
  static constexpr std::uint32_t kWriteThroughFlags = 0x80000000u;
  static constexpr std::uint32_t kNormalFlags = 0x80u;

  NewFile() noexcept;
  ~NewFile();
  NewFile(const NewFile&) = delete;
  NewFile& operator=(const NewFile&) = delete;

  // With `writeThrough` each write reaches the disk before it returns
  // (FILE_FLAG_WRITE_THROUGH, O_SYNC). False on failure (LastErrorCode()).
  bool Create(std::u16string_view path, bool writeThrough) noexcept;

  // Writes `size` bytes; *written is what was written, also on failure.
  bool Write(const std::uint8_t* data, std::uint32_t size, std::uint32_t* written) noexcept;

  void Close() noexcept;

 private:
  struct Handle;
  std::unique_ptr<Handle> handle_;
};

// A file that takes the place of `target` in one step once it is complete,
// so that a crash or a full disk leaves the old file or the new one, never a
// torn one. The bytes go to a new temporary file in the target's folder
// (the same volume), created with NewFile's parameters, and are flushed;
// Commit() then replaces the target with it (Windows: MoveFileExW with
// MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH; POSIX: rename, after
// which the folder is flushed, the file taking the old file's permission
// bits). Every call is noexcept and answers false on failure;
// LastErrorCode() then tells why. The temporary file is gone after a failed
// step as soon as this object is, and is never left behind but by a crash.
class FileReplacement {
 public:
  // The steps, in order; FailReplacementStepForTesting names one.
  enum class Step { kCreate, kWrite, kFlush, kReplace };
  enum class CreateResult {
    kOk,
    // The folder does not let a new file be made (access denied); the
    // target itself may still be writable in place.
    kRefused,
    kFailed,
  };

  FileReplacement() noexcept;
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // Creates the temporary file for `target` (a fresh name beside it).
  CreateResult Create(std::u16string_view target, bool writeThrough) noexcept;
  // As NewFile::Write.
  bool Write(const std::uint8_t* data, std::uint32_t size, std::uint32_t* written) noexcept;
  // Brings what was written to the disk (FlushFileBuffers, fsync).
  bool Flush() noexcept;
  // Closes the file and puts it in the target's place. POSIX: false also
  // when the folder cannot be flushed after the rename, which happened.
  bool Commit() noexcept;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// For tests only: the next FileReplacement step `step`, on any thread, fails
// as if the system had answered `error` (errno, GetLastError()); a failing
// Write writes half of its bytes first.
void FailReplacementStepForTesting(FileReplacement::Step step, std::int32_t error) noexcept;

namespace internal {
// For the platform files: true, with the error to report, when the step is
// to fail; the fault is then used up.
bool TakeReplacementFault(FileReplacement::Step step, std::int32_t& error) noexcept;
// The fresh name of a temporary file beside `target`. Throws only
// std::bad_alloc.
std::u16string TemporaryNameFor(std::u16string_view target);
}  // namespace internal

}  // namespace zevo::os

#endif  // ZEVO_OS_WHOLE_FILE_H_
