// Whole-file reads and writes for small files that are read and replaced as
// one piece (the system configuration file).
#ifndef ZEVO_OS_WHOLE_FILE_H_
#define ZEVO_OS_WHOLE_FILE_H_

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace zevo::os {

enum class ReadFileResult { kOk, kMissing, kFailed };

// Reads the whole file at `path` into `bytes`. kMissing when there is no
// such file, kFailed when it cannot be opened or read or is 4 GiB or larger
// (LastErrorCode() tells why where the system does).
ReadFileResult ReadWholeFile(std::u16string_view path,
                             std::vector<std::uint8_t>& bytes) noexcept;

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
  bool Write(const std::uint8_t* data, std::uint32_t size,
             std::uint32_t* written) noexcept;

  void Close() noexcept;

 private:
  struct Handle;
  std::unique_ptr<Handle> handle_;
};

}  // namespace zevo::os

#endif  // ZEVO_OS_WHOLE_FILE_H_
