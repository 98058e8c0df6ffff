// Replacing files that may be in use: attribute resets, unique sibling
// names, moves with a fallback, hard-link and copy replacements, byte copies
// that keep times.
#include <chrono>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>

#include "log/logging.h"
#include "os/file_ops.h"
#include "os/path.h"
#include "os/tick_count.h"
#include "util/file_calls.h"
#include "util/file_ops.h"

namespace zevo::util {

namespace {

constexpr logging::Site kLog{u"Util COMMON", u"Std_Utils_File"};

constexpr std::uint32_t kReplaceWriteThrough = os::kMoveReplaceExisting | os::kMoveWriteThrough;
constexpr std::uint32_t kHiddenSystemReadOnly = os::kAttributeReadOnly | os::kAttributeHidden | os::kAttributeSystem;

bool Exists(std::u16string_view path) {
  std::uint32_t attributes = 0;
  return CurrentFileCalls().GetAttributes(path, attributes);
}

// Deletes `path`, or asks for its deletion at restart when it is in use.
void DeleteNowOrAtRestart(std::u16string_view path) {
  const FileCalls& calls = CurrentFileCalls();
  if (!calls.DeleteFileAt(path)) calls.MoveWithFlags(path, u"", os::kMoveDelayUntilReboot);
}

// Ends a replacement whose new content could not be put in place: the old
// target, moved aside to `bak`, goes back where it was. Left as `bak` (and
// logged) only when even that fails, so it is never lost.
void MoveBack(std::u16string_view bak, std::u16string_view target) {
  if (CurrentFileCalls().MoveWithFlags(bak, target, kReplaceWriteThrough)) {
    ZLOG(kLog, logging::kLevelInfo, u"The existing target is moved back: ", target);
    return;
  }
  ZLOG(kLog, logging::kLevelFailure, u"Failed to move ", bak, u" back to ", target, u", GetLastError() = ",
       os::LastWin32Error());
}

// The drive of a path as _wsplitpath gives it ("C:"), or empty.
std::u16string_view Drive(std::u16string_view path) {
  return path.size() >= 2 && path[1] == u':' ? path.substr(0, 2) : std::u16string_view();
}

bool SameDrive(std::u16string_view a, std::u16string_view b) {
  const std::u16string_view x = Drive(a);
  const std::u16string_view y = Drive(b);
  if (x.size() != y.size()) return false;
  const auto upper = [](char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; };
  return x.empty() || upper(x[0]) == upper(y[0]);
}

bool MoveWithoutExtendedMove(std::u16string_view source, std::u16string_view target, std::uint32_t flags) {
  const FileCalls& calls = CurrentFileCalls();
  if (SameDrive(source, target)) {
    if ((flags & os::kMoveReplaceExisting) != 0) calls.DeleteFileAt(target);
    return calls.MoveFileTo(source, target);
  }
  if ((flags & os::kMoveCopyAllowed) == 0) return false;
  if (!calls.CopyFileTo(source, target, (flags & os::kMoveReplaceExisting) == 0)) return false;
  return calls.DeleteFileAt(source);
}

// C:\d\a.dll -> C:\d\a<milliseconds since start>.dll
std::u16string LockedTargetName(std::u16string_view target) {
  const std::size_t folderEnd = target.rfind(os::kPathSeparator) + 1;  // 0 without a separator
  const std::size_t dot = target.rfind(u'.');
  const std::size_t extension = dot == std::u16string_view::npos || dot < folderEnd ? target.size() : dot;
  std::u16string name(target.substr(0, extension));
  const auto ticks = static_cast<std::int32_t>(os::TickCount());
  const std::string digits = std::to_string(ticks);
  name.append(digits.begin(), digits.end());
  name.append(target.substr(extension));
  return name;
}

}  // namespace

bool ResetFileAttributeByUpdate(const char16_t* path) noexcept {
  if (path == nullptr || !Exists(path)) return true;
  if (CurrentFileCalls().SetAttributes(path, os::kAttributeNormal)) {
    ZLOG(kLog, logging::kLevelEntryExit, u"Succed to reset  file attributes to FILE_ATTRIBUTE_NORMAL: ", path);
    return true;
  }
  ZLOG(kLog, logging::kLevelFailure, u"Failed to reset  file attributes to FILE_ATTRIBUTE_NORMAL: ", path,
       u"GetLastError() = ", os::LastWin32Error());
  return false;
}

bool DeleteExistingFileByUpdate(const char16_t* path) noexcept {
  if (path == nullptr || !Exists(path)) return true;
  if (!ResetFileAttributeByUpdate(path)) return true;
  if (CurrentFileCalls().DeleteFileAt(path)) return true;
  ZLOG(kLog, logging::kLevelFailure, u"Delete existing file fail, File: ", path, u", GetLastError() = ",
       os::LastWin32Error());
  return false;
}

bool MakeUniqueSiblingName(std::u16string_view base, std::u16string_view suffix, std::u16string& name) noexcept {
  try {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    auto counter = static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::seconds>(now).count());
    for (;; ++counter) {
      std::u16string candidate(base);
      candidate += u'.';
      const std::string digits = std::to_string(counter);
      candidate.append(digits.begin(), digits.end());
      candidate += u'.';
      candidate += suffix;
      if (!Exists(candidate)) {
        name.swap(candidate);
        return true;
      }
    }
  } catch (const std::exception&) {
    return false;
  }
}

bool MoveFileWithFallback(const char16_t* source, const char16_t* target, std::uint32_t flags,
                          bool resetAttributes) noexcept {
  if (source == nullptr || target == nullptr) {
    os::SetLastWin32Error(os::kErrorInvalidParameter);
    return false;
  }
  const FileCalls& calls = CurrentFileCalls();
  std::uint32_t attributes = 0;
  if (resetAttributes && calls.GetAttributes(source, attributes) && (attributes & kHiddenSystemReadOnly) != 0) {
    ZLOG(kLog, logging::kLevelEntryExit, u"Reset file attributes to FILE_ATTRIBUTE_NORMAL: ", source);
    calls.SetAttributes(source, os::kAttributeNormal);
  }
  if (calls.MoveWithFlags(source, target, flags)) return true;
  // A delayed move has no fallback: doing it now is not what was asked.
  if (os::LastWin32Error() != os::kErrorCallNotImplemented || (flags & os::kMoveDelayUntilReboot) != 0) return false;
  return MoveWithoutExtendedMove(source, target, flags);
}

std::int32_t ReplaceByHardLink(const char16_t* target, const char16_t* source) noexcept {
  if (target == nullptr || source == nullptr) return os::kErrorInvalidParameter;
  try {
    const FileCalls& calls = CurrentFileCalls();
    std::u16string tmp;
    if (!MakeUniqueSiblingName(target, u"tmp", tmp)) return os::kErrorNotEnoughMemory;
    std::int32_t result = 0;
    if (!calls.MakeHardLink(tmp, source)) {
      result = os::LastWin32Error();
      ZLOG(kLog, logging::kLevelInfo, u"CreateHardlinkW(", tmp, u", ", source, u", NULL) failed, GetLastError = ",
           result);
    } else if (!calls.MoveWithFlags(tmp, target, kReplaceWriteThrough)) {
      ZLOG(kLog, logging::kLevelInfo, u"MoveFileEx(", tmp, u", ", target,
           u",  (MOVEFILE_REPLACE_EXISTING|MOVEFILE_WRITE_THROUGH)) failed, GetLastError() = ", os::LastWin32Error());
      std::u16string bak;
      if (!MakeUniqueSiblingName(target, u"bak", bak)) {
        result = os::kErrorNotEnoughMemory;
      } else if (!calls.MoveFileTo(target, bak)) {
        result = os::LastWin32Error();
        ZLOG(kLog, logging::kLevelInfo, u"_wrename failed.  GetLastError() = ", result);
      } else if (!calls.MoveWithFlags(tmp, target, kReplaceWriteThrough)) {
        result = os::LastWin32Error();
        ZLOG(kLog, logging::kLevelInfo, u"MoveFileEx(", tmp, u", ", target,
             u",  (MOVEFILE_REPLACE_EXISTING|MOVEFILE_WRITE_THROUGH)) failed,  GetLastError() = ", result);
        MoveBack(bak, target);
      }
      if (result == 0 && Exists(bak)) DeleteNowOrAtRestart(bak);
    }
    if (Exists(tmp)) DeleteNowOrAtRestart(tmp);
    return result;
  } catch (const std::exception&) {
    return os::kErrorNotEnoughMemory;
  }
}

std::int32_t CopyFileWithRetry(const char16_t* source, const char16_t* target) noexcept {
  if (source == nullptr || target == nullptr) return os::kErrorInvalidParameter;
  const FileCalls& calls = CurrentFileCalls();
  if (calls.CopyFileTo(source, target, /*failIfExists=*/false)) {
    ZLOG(kLog, logging::kLevelEntryExit, u"CopyFileW(", source, u", ", target, u", FALSE) success ");
    return 0;
  }
  const std::int32_t error = os::LastWin32Error();
  if (error != os::kErrorSharingViolation && error != os::kErrorAccessDenied) {
    ZLOG(kLog, logging::kLevelFailure, u"CopyFileW(", source, u", ", target, u", false) failed,  GetLastError() = ",
         error);
    return error;
  }
  ZLOG(kLog, logging::kLevelInfo, u"CopyFileW(", source, u", ", target,
       u", false) failed, retry it again atfer rename the existing target file, GetLastError() = ", error);
  std::u16string bak;
  if (!MakeUniqueSiblingName(target, u"bak", bak)) return os::kErrorNotEnoughMemory;
  if (!calls.MoveFileTo(target, bak)) return error;
  if (!calls.CopyFileTo(source, target, /*failIfExists=*/false)) {
    const std::int32_t second = os::LastWin32Error();
    ZLOG(kLog, logging::kLevelFailure, u"CopyFileW(", source, u", ", target, u", false) failed,  GetLastError() = ",
         second);
    MoveBack(bak, target);
    return second;
  }
  DeleteNowOrAtRestart(bak);
  return 0;
}

namespace {

// Step 1 of CopyFileContents: the source, shared for reading, or for
// reading and writing when a writer holds it.
bool OpenSource(os::ContentFile& file, std::u16string_view path) {
  return file.OpenRead(path, os::ContentFile::kShareRead) ||
         file.OpenRead(path, os::ContentFile::kShareRead | os::ContentFile::kShareWrite);
}

bool IsUpToDate(std::u16string_view target, const os::ContentFile::Times& source) {
  os::ContentFile file;
  os::ContentFile::Times times;
  return file.OpenRead(target, os::ContentFile::kShareRead | os::ContentFile::kShareDelete) && file.GetTimes(times) &&
         times.lastWrite == source.lastWrite;
}

// False on a failed read or write or a short write; `copied` tells whether
// any byte was.
bool CopyBlocks(os::ContentFile& from, os::ContentFile& to, bool& copied) {
  constexpr std::uint32_t kBlock = 0x10000;
  const auto buffer = std::make_unique<std::uint8_t[]>(kBlock);
  for (;;) {
    std::uint32_t read = 0;
    if (!from.Read(buffer.get(), kBlock, &read)) return false;
    if (read == 0) return true;
    std::uint32_t written = 0;
    if (!to.Write(buffer.get(), read, &written) || written != read) return false;
    copied = true;
  }
}

}  // namespace

bool CopyFileContents(const char16_t* source, const char16_t* target, bool renameLockedTarget) noexcept {
  if (source == nullptr || target == nullptr) return false;
  try {
    os::ContentFile from;
    os::ContentFile::Times times;
    std::uint32_t attributes = os::kAttributeNormal;
    if (!OpenSource(from, source) || !from.GetTimes(times)) return false;
    os::GetAttributes(source, attributes);
    if (IsUpToDate(target, times)) return true;
    os::ContentFile to;
    if (!to.CreateAlways(target)) {
      if (!renameLockedTarget) return false;
      const std::u16string aside = LockedTargetName(target);
      MoveFileWithFallback(target, aside.c_str(), os::kMoveReplaceExisting | os::kMoveCopyAllowed, true);
      if (!to.CreateAlways(target)) return false;
    }
    bool copied = false;
    const bool ok = CopyBlocks(from, to, copied);
    to.Close();
    from.Close();
    if (!ok) {
      // A short file with a fresh time would pass for a copy only if times
      // matched by chance; a missing one never does.
      CurrentFileCalls().DeleteFileAt(target);
      return false;
    }
    if (copied) {
      os::ContentFile written;
      if (written.OpenReadWrite(target)) written.SetTimes(times);
      written.Close();
      CurrentFileCalls().SetAttributes(target, attributes);
    }
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace zevo::util
