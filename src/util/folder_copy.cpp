// Copying and updating folder trees with an extension filter and the ".cfg"
// naming scheme.
#include <exception>
#include <string>
#include <vector>

#include "log/logging.h"
#include "os/file_ops.h"
#include "os/path.h"
#include "util/file_calls.h"
#include "util/file_ops.h"

namespace zevo::util {

namespace {

constexpr logging::Site kLog{u"Util COMMON", u"Std_Utils_File"};

struct TreeArguments {
  std::u16string_view pattern;
  bool recursive;
  bool replaceInUse;  // hard links (CopyFolder) or ReplaceByHardLink first (UpdateFolder)
  int extMode;
};

std::u16string Join(std::u16string_view folder, std::u16string_view name) {
  std::u16string path(folder);
  path += os::kPathSeparator;
  path += name;
  return path;
}

// Lists `folder`, logging the search path as the enumeration names it when
// it cannot be listed.
bool List(std::u16string_view folder, std::vector<os::FolderEntry>& entries) {
  if (os::ListFolder(folder, entries)) return true;
  const std::int32_t error = os::LastWin32Error();
  ZLOG(kLog, logging::kLevelFailure, u"Unknown path = ", Join(folder, u"*"), u", GetLastError = ", error);
  return false;
}

// The pattern filter: every file for "*", else the files whose extension
// matches the pattern under `extMode`.
bool Selected(const std::u16string& source, const TreeArguments& args) {
  return args.pattern == u"*" || MatchFileExtension(source, args.pattern, args.extMode);
}

bool IsSameOrBelow(std::u16string_view inner, std::u16string_view outer) {
  if (inner.size() < outer.size() || inner.substr(0, outer.size()) != outer) return false;
  return inner.size() == outer.size() || inner[outer.size()] == os::kPathSeparator ||
         (!outer.empty() && outer.back() == os::kPathSeparator);
}

// A tree copy into its own source would copy its copies for ever.
bool TargetInsideSource(const char16_t* sourceDir, const char16_t* targetDir) {
  std::u16string source;
  std::u16string target;
  if (!GetFullPath(sourceDir, source) || !GetFullPath(targetDir, target)) return false;
  while (source.size() > 1 && source.back() == os::kPathSeparator) source.pop_back();
  return IsSameOrBelow(target, source);
}

// A folder of the target tree that is a link would carry the copy out of
// the target tree: it is left alone.
bool IsLinkedFolder(std::u16string_view target) {
  std::uint32_t attributes = 0;
  if (!CurrentFileCalls().GetAttributes(target, attributes) || (attributes & os::kAttributeReparsePoint) == 0) {
    return false;
  }
  ZLOG(kLog, logging::kLevelFailure, u"Skipped a linked folder: ", target);
  return true;
}

void CopyOneFile(const std::u16string& source, std::u16string target, const TreeArguments& args) {
  ChangeFileExtension(target, args.extMode);
  const FileCalls& calls = CurrentFileCalls();
  std::uint32_t attributes = 0;
  if (calls.GetAttributes(target, attributes)) {
    calls.SetAttributes(target, attributes & ~os::kAttributeReadOnly);
    if (!calls.DeleteFileAt(target)) {
      ZLOG(kLog, logging::kLevelFailure, u"Failed to delete ", target, u". Windows error code:", os::LastWin32Error());
      return;
    }
  }
  bool done = false;
  if (args.replaceInUse) {
    done = calls.MakeHardLink(target, source);
    if (!done) ZLOG(kLog, logging::kLevelInfo, u"CreateHardlinkW(", target, u", ", source, u", NULL) failed.");
  }
  if (!done && !calls.CopyFileTo(source, target, /*failIfExists=*/false)) {
    ZLOG(kLog, logging::kLevelFailure, u" Can not copy file:", source, u" to ", target, u". Window Error Code:",
         os::LastWin32Error());
  }
  if (calls.GetAttributes(target, attributes)) calls.SetAttributes(target, attributes & ~os::kAttributeReadOnly);
}

bool CopyTree(std::u16string_view sourceDir, std::u16string_view targetDir, const TreeArguments& args) {
  std::vector<os::FolderEntry> entries;
  if (!List(sourceDir, entries)) return false;
  for (const os::FolderEntry& entry : entries) {
    if (entry.link) continue;  // may lead out of the tree
    const std::u16string source = Join(sourceDir, entry.name);
    const std::u16string target = Join(targetDir, entry.name);
    if (entry.folder) {
      if (!args.recursive) continue;
      CurrentFileCalls().CreateFolder(target);
      if (IsLinkedFolder(target)) continue;
      CopyTree(source, target, args);
    } else if (Selected(source, args)) {
      CopyOneFile(source, target, args);
    }
  }
  return true;
}

std::int32_t UpdateOneFile(const std::u16string& source, std::u16string target, const TreeArguments& args) {
  if (!ChangeFileExtension(target, args.extMode)) {
    ZLOG(kLog, logging::kLevelInfo, u"call ChangeFileExtension() fail, File: ", target);
  }
  if (!DeleteExistingFileByUpdate(target.c_str())) {
    ZLOG(kLog, logging::kLevelInfo, u"call DeleteExistingFileByUpdate() fail, File: ", target);
  }
  std::int32_t error = 1;
  if (args.replaceInUse) error = ReplaceByHardLink(target.c_str(), source.c_str());
  if (error != 0) error = CopyFileWithRetry(source.c_str(), target.c_str());
  if (!ResetFileAttributeByUpdate(target.c_str())) {
    ZLOG(kLog, logging::kLevelInfo, u"call ResetFileAttributeByUpdate() fail, File: ", target);
  }
  return error;
}

std::int32_t UpdateTree(std::u16string_view sourceDir, std::u16string_view targetDir, const TreeArguments& args) {
  std::vector<os::FolderEntry> entries;
  if (!List(sourceDir, entries)) return 0;
  for (const os::FolderEntry& entry : entries) {
    if (entry.link) continue;  // may lead out of the tree
    const std::u16string source = Join(sourceDir, entry.name);
    const std::u16string target = Join(targetDir, entry.name);
    std::int32_t error = 0;
    if (!entry.folder) {
      if (Selected(source, args)) error = UpdateOneFile(source, target, args);
    } else if (args.recursive) {
      if (!CurrentFileCalls().CreateFolder(target) && os::LastWin32Error() != os::kErrorAlreadyExists) {
        ZLOG(kLog, logging::kLevelFailure, u"CreateDirectory failed, GetLastError = ", os::LastWin32Error());
      }
      if (!IsLinkedFolder(target)) error = UpdateTree(source, target, args);
    }
    if (error != 0) return error;
  }
  return 0;
}

}  // namespace

bool ChangeFileExtension(std::u16string& name, int mode) noexcept {
  try {
    if (mode == kExtensionAppendCfg) {
      name += kCfgExtension;
    } else if (mode == kExtensionRemoveLast) {
      const std::size_t dot = name.rfind(u'.');
      if (dot == std::u16string::npos) {
        ZLOG(kLog, logging::kLevelFailure, name,
             u" does not contain any dot(.) character, so it is not a valid file name!");
        return false;
      }
      name.erase(dot);
    }
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool MatchFileExtension(std::u16string_view name, std::u16string_view extension, int mode) noexcept {
  std::size_t dot = name.rfind(u'.');
  if (dot == std::u16string_view::npos) return false;
  if (mode == kExtensionRemoveLast) {
    name = name.substr(0, dot);
    ZLOG(kLog, logging::kLevelEntryExit, u"wstrFileWithoutCfg = ", name);
    dot = name.rfind(u'.');
    if (dot == std::u16string_view::npos) return false;
    ZLOG(kLog, logging::kLevelEntryExit, u"wstrFileExt = ", name.substr(dot));
  }
  return name.substr(dot) == extension;
}

bool CopyFolder(const char16_t* sourceDir, const char16_t* targetDir, const char16_t* pattern, bool recursive,
                bool useHardLink, int extMode) noexcept {
  if (sourceDir == nullptr || targetDir == nullptr || pattern == nullptr || TargetInsideSource(sourceDir, targetDir)) {
    ZLOG(kLog, logging::kLevelFailure, u"Invalid input parameter.");
    return false;
  }
  try {
    return CopyTree(sourceDir, targetDir, TreeArguments{pattern, recursive, useHardLink, extMode});
  } catch (const std::exception&) {
    return false;
  }
}

std::int32_t UpdateFolder(const char16_t* sourceDir, const char16_t* targetDir, const char16_t* pattern, bool recursive,
                          bool useMove, int extMode) noexcept {
  if (sourceDir == nullptr || targetDir == nullptr || pattern == nullptr || TargetInsideSource(sourceDir, targetDir)) {
    ZLOG(kLog, logging::kLevelFailure, u"Invalid input parameter.");
    return os::kErrorInvalidParameter;
  }
  try {
    return UpdateTree(sourceDir, targetDir, TreeArguments{pattern, recursive, useMove, extMode});
  } catch (const std::exception&) {
    return os::kErrorNotEnoughMemory;
  }
}

}  // namespace zevo::util
