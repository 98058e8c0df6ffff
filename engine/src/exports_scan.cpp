// Entry points: scans, stop, referential scans.
#include "exports.h"
#include "operations.h"

using namespace tarsk;

extern "C" {

#ifndef TARSK_OMIT_TKScan
std::int32_t TKScan(std::int32_t h, const char16_t* target) {
  return WithSession("TKScan", h, [&](Session& session) {
    if (!TextOf(target).empty()) return Fail(h, kInvalidArgument, u"the target must be empty");
    return Scan(session);
  });
}
#endif

#ifndef TARSK_OMIT_TKStopScan
std::int32_t TKStopScan(std::int32_t h) {
  return WithSession("TKStopScan", h, [&](Session& session) {
    session.stopRequested = true;
    return kOk;
  });
}
#endif

#ifndef TARSK_OMIT_TKAddReferentialScanItem
std::int32_t TKAddReferentialScanItem(std::int32_t h, const char16_t* first, const char16_t* second,
                                      const char16_t* third, std::int32_t) {
  return WithSession("TKAddReferentialScanItem", h, [&](Session& session) {
    return AddReference(session, TextOf(first), TextOf(second), TextOf(third));
  });
}
#endif

#ifndef TARSK_OMIT_TKScanRelatedReferences
std::int32_t TKScanRelatedReferences(std::int32_t h, const char16_t* target) {
  return WithSession("TKScanRelatedReferences", h, [&](Session& session) {
    if (!TextOf(target).empty()) return Fail(h, kInvalidArgument, u"the target must be empty");
    return ScanRelatedReferences(session);
  });
}
#endif

#ifndef TARSK_OMIT_TKScanEx
TARSK_NOT_SUPPORTED(TKScanEx, const char16_t*, std::uint32_t)
#endif
#ifndef TARSK_OMIT_TKScanDir
TARSK_NOT_SUPPORTED(TKScanDir, const char16_t*, std::int32_t)
#endif
#ifndef TARSK_OMIT_TKScanFile
TARSK_NOT_SUPPORTED(TKScanFile, const char16_t*)
#endif
#ifndef TARSK_OMIT_TKRemoveReferentialScanItem
TARSK_NOT_SUPPORTED(TKRemoveReferentialScanItem, const char16_t*, const char16_t*, const char16_t*)
#endif

}  // extern "C"
