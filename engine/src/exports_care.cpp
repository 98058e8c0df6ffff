// Entry points: clean, backup, restore.
#include "exports.h"
#include "operations.h"

using namespace tarsk;

extern "C" {

#ifndef TARSK_OMIT_TKClean
std::int32_t TKClean(std::int32_t h, const char16_t*) {
  return WithSession("TKClean", h, [&](Session& session) { return Clean(session); });
}
#endif

#ifndef TARSK_OMIT_TKBackup
std::int32_t TKBackup(std::int32_t h, const char16_t*) {
  return WithSession("TKBackup", h, [&](Session& session) { return Backup(session); });
}
#endif

#ifndef TARSK_OMIT_TKRestore
std::int32_t TKRestore(std::int32_t h, const char16_t* backupFile) {
  return WithSession("TKRestore", h, [&](Session& session) { return Restore(session, TextOf(backupFile)); });
}
#endif

#ifndef TARSK_OMIT_TKCleanByName
TARSK_NOT_SUPPORTED(TKCleanByName, const char16_t*)
#endif
#ifndef TARSK_OMIT_TKGetBackupItems
TARSK_NOT_SUPPORTED(TKGetBackupItems, const char16_t*, std::int32_t*)
#endif

}  // extern "C"
