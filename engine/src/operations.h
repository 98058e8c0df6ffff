// The engine's long operations on one session. Each returns an engine
// status and records failures as the session's last error.
#ifndef TARSK_OPERATIONS_H_
#define TARSK_OPERATIONS_H_

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

#include "session.h"

namespace tarsk {

// The folders of TARSK_SCAN_ROOTS (platform path-list separator), in order.
std::vector<std::filesystem::path> ScanRoots();
// Whether path lies inside one of the scan roots (compared lexically).
bool IsWithinScanRoots(const std::filesystem::path& path);

std::int32_t Scan(Session& session);
std::int32_t AddReference(Session& session, std::u16string_view first, std::u16string_view second,
                          std::u16string_view third);
std::int32_t ScanRelatedReferences(Session& session);
std::int32_t Clean(Session& session);
std::int32_t Backup(Session& session);
std::int32_t Restore(Session& session, std::u16string_view backupFile);

// Calls the session's callback (when one is set) without holding its mutex.
void Notify(Session& session, std::int32_t event, std::int32_t c, std::int32_t d, void* data);

}  // namespace tarsk

#endif  // TARSK_OPERATIONS_H_
