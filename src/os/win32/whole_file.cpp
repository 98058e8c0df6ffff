#include "os/whole_file.h"

#include <windows.h>

#include <new>
#include <string>
#include <utility>

#include "os/win32/wide.h"

namespace zevo::os {

namespace {

// Closes a handle without losing the last error of an earlier failure.
class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) noexcept : handle_(handle) {}
  ~FileHandle() { Reset(); }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  HANDLE get() const noexcept { return handle_; }
  bool valid() const noexcept { return handle_ != INVALID_HANDLE_VALUE; }
  void Reset() noexcept {
    if (!valid()) return;
    const DWORD saved = GetLastError();
    CloseHandle(handle_);
    SetLastError(saved);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE handle_;
};

}  // namespace

ReadFileResult ReadWholeFile(std::u16string_view path, std::vector<std::uint8_t>& bytes) noexcept {
  try {
    const FileHandle file(CreateFileW(win32::ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                      /*lpSecurityAttributes=*/nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                      /*hTemplateFile=*/nullptr));
    if (!file.valid()) {
      const DWORD error = GetLastError();
      return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ReadFileResult::kMissing
                                                                            : ReadFileResult::kFailed;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) return ReadFileResult::kFailed;
    if (size.QuadPart > static_cast<LONGLONG>(MAXDWORD)) {
      SetLastError(ERROR_FILE_TOO_LARGE);
      return ReadFileResult::kFailed;
    }
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD done = 0;
    while (done < bytes.size()) {
      DWORD n = 0;
      if (!ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size()) - done, &n,
                    /*lpOverlapped=*/nullptr)) {
        return ReadFileResult::kFailed;
      }
      if (n == 0) break;  // shrank meanwhile: keep what is there
      done += n;
    }
    bytes.resize(done);
    return ReadFileResult::kOk;
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return ReadFileResult::kFailed;
  }
}

struct NewFile::Handle {
  explicit Handle(HANDLE h) : file(h) {}
  FileHandle file;
};

NewFile::NewFile() noexcept = default;
NewFile::~NewFile() = default;

bool NewFile::Create(std::u16string_view path, bool writeThrough) noexcept {
  Close();
  try {
    const HANDLE h =
        CreateFileW(win32::ToWide(path).c_str(), GENERIC_WRITE, /*dwShareMode=*/0,
                    /*lpSecurityAttributes=*/nullptr, CREATE_ALWAYS, writeThrough ? kWriteThroughFlags : kNormalFlags,
                    /*hTemplateFile=*/nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    handle_.reset(new (std::nothrow) Handle(h));
    if (!handle_) {
      CloseHandle(h);
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return false;
    }
    return true;
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return false;
  }
}

bool NewFile::Write(const std::uint8_t* data, std::uint32_t size, std::uint32_t* written) noexcept {
  *written = 0;
  if (!handle_) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  DWORD n = 0;
  const BOOL ok = WriteFile(handle_->file.get(), data, size, &n,
                            /*lpOverlapped=*/nullptr);
  *written = n;
  return ok != FALSE;
}

void NewFile::Close() noexcept { handle_.reset(); }

// --- FileReplacement -----------------------------------------------------------

namespace {

using Step = FileReplacement::Step;

// Fails the step when a test asked for it: the last error is the asked one.
bool Faulted(Step step) noexcept {
  std::int32_t error = 0;
  if (!internal::TakeReplacementFault(step, error)) return false;
  SetLastError(static_cast<DWORD>(error));
  return true;
}

}  // namespace

struct FileReplacement::State {
  std::wstring target;
  std::wstring temporary;
  HANDLE file = INVALID_HANDLE_VALUE;
  bool ownsTemporary = false;  // made by us and not yet moved

  ~State() {
    const DWORD saved = GetLastError();
    CloseFile();
    if (ownsTemporary) DeleteFileW(temporary.c_str());
    SetLastError(saved);
  }
  bool valid() const noexcept { return file != INVALID_HANDLE_VALUE; }
  // True when the file closed cleanly (or was closed already).
  bool CloseFile() noexcept { return !valid() || CloseHandle(std::exchange(file, INVALID_HANDLE_VALUE)) != FALSE; }
};

FileReplacement::FileReplacement() noexcept = default;
FileReplacement::~FileReplacement() = default;

FileReplacement::CreateResult FileReplacement::Create(std::u16string_view target, bool writeThrough) noexcept {
  state_.reset();
  try {
    auto state = std::make_unique<State>();
    state->target = win32::ToWide(target);
    state->temporary = win32::ToWide(internal::TemporaryNameFor(target));
    // NewFile's parameters, but never over an existing file.
    const HANDLE h = Faulted(Step::kCreate)
                         ? INVALID_HANDLE_VALUE
                         : CreateFileW(state->temporary.c_str(), GENERIC_WRITE, /*dwShareMode=*/0,
                                       /*lpSecurityAttributes=*/nullptr, CREATE_NEW,
                                       writeThrough ? NewFile::kWriteThroughFlags : NewFile::kNormalFlags,
                                       /*hTemplateFile=*/nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      return GetLastError() == ERROR_ACCESS_DENIED ? CreateResult::kRefused : CreateResult::kFailed;
    }
    state->file = h;
    state->ownsTemporary = true;
    state_ = std::move(state);
    return CreateResult::kOk;
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return CreateResult::kFailed;
  }
}

bool FileReplacement::Write(const std::uint8_t* data, std::uint32_t size, std::uint32_t* written) noexcept {
  *written = 0;
  if (!state_ || !state_->valid()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  std::int32_t fault = 0;
  const bool torn = internal::TakeReplacementFault(Step::kWrite, fault);
  DWORD n = 0;
  const BOOL ok = WriteFile(state_->file, data, torn ? size / 2 : size, &n,
                            /*lpOverlapped=*/nullptr);
  *written = n;
  if (torn) SetLastError(static_cast<DWORD>(fault));
  return ok != FALSE && !torn;
}

bool FileReplacement::Flush() noexcept {
  if (!state_ || !state_->valid()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  return !Faulted(Step::kFlush) && FlushFileBuffers(state_->file) != FALSE;
}

bool FileReplacement::Commit() noexcept {
  if (!state_ || !state_->valid()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  // An open file cannot be moved.
  if (!state_->CloseFile() || Faulted(Step::kReplace) ||
      !MoveFileExW(state_->temporary.c_str(), state_->target.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return false;
  }
  state_->ownsTemporary = false;
  return true;
}

}  // namespace zevo::os
