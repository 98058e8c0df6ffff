#include "os/file_ops.h"

#include <windows.h>

#include <new>
#include <string>
#include <vector>

#include "os/win32/wide.h"

namespace zevo::os {

using win32::ToNative;

namespace {

std::uint64_t FromFileTime(const FILETIME& t) {
  return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

FILETIME ToFileTime(std::uint64_t t) { return FILETIME{static_cast<DWORD>(t), static_cast<DWORD>(t >> 32)}; }

}  // namespace

std::int32_t LastWin32Error() noexcept { return static_cast<std::int32_t>(GetLastError()); }

void SetLastWin32Error(std::int32_t code) noexcept { SetLastError(static_cast<DWORD>(code)); }

bool GetAttributes(std::u16string_view path, std::uint32_t& attributes) noexcept {
  std::wstring native;
  if (!ToNative(path, native)) return false;
  const DWORD bits = GetFileAttributesW(native.c_str());
  if (bits == INVALID_FILE_ATTRIBUTES) return false;
  attributes = bits;
  return true;
}

bool SetAttributes(std::u16string_view path, std::uint32_t attributes) noexcept {
  std::wstring native;
  return ToNative(path, native) && SetFileAttributesW(native.c_str(), attributes) != 0;
}

bool MoveWithFlags(std::u16string_view from, std::u16string_view to, std::uint32_t flags) noexcept {
  std::wstring source;
  std::wstring target;
  if (!ToNative(from, source) || !ToNative(to, target)) return false;
  return MoveFileExW(source.c_str(), to.empty() ? nullptr : target.c_str(), flags) != 0;
}

bool DeleteFileAt(std::u16string_view path) noexcept {
  std::wstring native;
  return ToNative(path, native) && DeleteFileW(native.c_str()) != 0;
}

bool CopyFileTo(std::u16string_view from, std::u16string_view to, bool failIfExists) noexcept {
  std::wstring source;
  std::wstring target;
  return ToNative(from, source) && ToNative(to, target) &&
         CopyFileW(source.c_str(), target.c_str(), failIfExists ? TRUE : FALSE) != 0;
}

bool MakeHardLink(std::u16string_view link, std::u16string_view existing) noexcept {
  std::wstring name;
  std::wstring target;
  return ToNative(link, name) && ToNative(existing, target) &&
         CreateHardLinkW(name.c_str(), target.c_str(), /*lpSecurityAttributes=*/nullptr) != 0;
}

bool LongPathOf(std::u16string_view path, std::u16string& longPath) noexcept {
  try {
    std::wstring native;
    if (!ToNative(path, native)) return false;
    const DWORD needed = GetLongPathNameW(native.c_str(), nullptr, 0);
    if (needed == 0) return false;
    std::vector<wchar_t> buffer(needed, L'\0');
    const DWORD length = GetLongPathNameW(native.c_str(), buffer.data(), needed);
    if (length == 0 || length >= needed) {
      if (length != 0) SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return false;
    }
    longPath = win32::FromWide({buffer.data(), length});
    return true;
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return false;
  }
}

bool ModuleFileOf(void* module, std::u16string& path) noexcept {
  try {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(static_cast<HMODULE>(module), buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    path = win32::FromWide({buffer, length});
    return true;
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return false;
  }
}

bool ListFolder(std::u16string_view folder, std::vector<FolderEntry>& entries) noexcept {
  entries.clear();
  try {
    std::wstring query;
    if (!ToNative(folder, query)) return false;
    query += L"\\*";
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(query.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    do {
      const std::wstring_view name(found.cFileName);
      if (name == L"." || name == L"..") continue;
      entries.push_back(FolderEntry{win32::FromWide(name), (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                                    (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
    } while (FindNextFileW(search, &found) != 0);
    const DWORD error = GetLastError();
    FindClose(search);
    if (error != ERROR_NO_MORE_FILES) {
      entries.clear();
      SetLastError(error);
      return false;
    }
    return true;
  } catch (const std::bad_alloc&) {
    entries.clear();
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return false;
  }
}

struct ContentFile::Handle {
  HANDLE file = INVALID_HANDLE_VALUE;
};

ContentFile::ContentFile() noexcept = default;
ContentFile::~ContentFile() { Close(); }

void ContentFile::Close() noexcept {
  if (handle_ && handle_->file != INVALID_HANDLE_VALUE) {
    const DWORD saved = GetLastError();
    CloseHandle(handle_->file);
    SetLastError(saved);
  }
  handle_.reset();
}

namespace {

std::unique_ptr<ContentFile::Handle> OpenHandle(std::u16string_view path, DWORD access, DWORD share,
                                                DWORD disposition) noexcept {
  std::wstring native;
  if (!ToNative(path, native)) return nullptr;
  const HANDLE file = CreateFileW(native.c_str(), access, share, /*lpSecurityAttributes=*/nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL, /*hTemplateFile=*/nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  auto* handle = new (std::nothrow) ContentFile::Handle{file};
  if (handle == nullptr) {
    CloseHandle(file);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  }
  return std::unique_ptr<ContentFile::Handle>(handle);
}

HANDLE Native(const std::unique_ptr<ContentFile::Handle>& handle) {
  return handle ? handle->file : INVALID_HANDLE_VALUE;
}

}  // namespace

bool ContentFile::OpenRead(std::u16string_view path, std::uint32_t share) noexcept {
  Close();
  handle_ = OpenHandle(path, GENERIC_READ, share, OPEN_EXISTING);
  return handle_ != nullptr;
}

bool ContentFile::OpenReadWrite(std::u16string_view path) noexcept {
  Close();
  handle_ = OpenHandle(path, GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING);
  return handle_ != nullptr;
}

bool ContentFile::CreateAlways(std::u16string_view path) noexcept {
  Close();
  handle_ = OpenHandle(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
  return handle_ != nullptr;
}

bool ContentFile::Read(void* buffer, std::uint32_t size, std::uint32_t* done) noexcept {
  DWORD n = 0;
  const bool ok = ReadFile(Native(handle_), buffer, size, &n, /*lpOverlapped=*/nullptr) != 0;
  *done = n;
  return ok;
}

bool ContentFile::Write(const void* buffer, std::uint32_t size, std::uint32_t* done) noexcept {
  DWORD n = 0;
  const bool ok = WriteFile(Native(handle_), buffer, size, &n, /*lpOverlapped=*/nullptr) != 0;
  *done = n;
  return ok;
}

bool ContentFile::Flush() noexcept { return FlushFileBuffers(Native(handle_)) != 0; }

bool ContentFile::GetTimes(Times& times) noexcept {
  FILETIME creation{};
  FILETIME access{};
  FILETIME write{};
  if (GetFileTime(Native(handle_), &creation, &access, &write) == 0) return false;
  times = Times{FromFileTime(creation), FromFileTime(access), FromFileTime(write)};
  return true;
}

bool ContentFile::SetTimes(const Times& times) noexcept {
  const FILETIME creation = ToFileTime(times.creation);
  const FILETIME access = ToFileTime(times.lastAccess);
  const FILETIME write = ToFileTime(times.lastWrite);
  return SetFileTime(Native(handle_), &creation, &access, &write) != 0;
}

}  // namespace zevo::os
