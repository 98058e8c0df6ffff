// The folders of a backup: the configured backup folder, the fresh work
// folder each company's backup is written into, and the backup file the
// engine leaves there.
#ifndef ZEVO_SRC_DRIVER_BACKUP_FOLDERS_H_
#define ZEVO_SRC_DRIVER_BACKUP_FOLDERS_H_

#include <string>
#include <string_view>

namespace zevo::driver {

// The extension every backup file of the engine carries.
inline constexpr std::u16string_view kBackupFilePattern = u"*.tkb";

// Ends `folder` with the path separator (the caller's copy keeps it), then
// makes sure the folder exists: an existing one is taken as it is; a missing
// one is created (one level) under its expanded name (placeholders replaced,
// "%%" as "%"). Logs a folder it cannot create; false then.
// REQUIRES: `folder` is not empty.
bool EnsureBackupFolder(std::u16string& folder) noexcept;

// Creates parent + separator + a new GUID in registry form + separator and
// writes it to `folder`. The parent already ends with a separator, so the
// path holds two in a row, which every file system here accepts. Logs a
// folder it cannot create and leaves `folder` unchanged; false then.
bool CreateGuidFolder(std::u16string_view parent, std::u16string& folder) noexcept;

// The name (without folder) of the first "*.tkb" file in `folder`; false
// when there is none.
bool FindBackupFile(std::u16string_view folder, std::u16string& fileName) noexcept;

}  // namespace zevo::driver

#endif  // ZEVO_SRC_DRIVER_BACKUP_FOLDERS_H_
