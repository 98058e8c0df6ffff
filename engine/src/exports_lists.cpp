// Entry points: white- and blacklists. The engine keeps a whitelist of
// company ids per session (record kind 5); blacklists are not supported.
#include "exports.h"

using namespace tarsk;

extern "C" {

#ifndef TARSK_OMIT_TKAddWhitelistItem
std::int32_t TKAddWhitelistItem(std::int32_t h, const TKC_WHITELIST_ITEM* item) {
  return WithSession("TKAddWhitelistItem", h, [&](Session& session) {
    if (item == nullptr || item->size != ZEVO_WHITELIST_ITEM_SIZE || item->kind != ZEVO_WHITELIST_KIND_COMPANY_ID) {
      return Fail(h, kInvalidArgument, u"whitelist record must be 4616 bytes of kind 5");
    }
    std::u16string_view text(item->text, ZEVO_WHITELIST_TEXT_CCH);
    text = text.substr(0, text.find(u'\0'));
    const auto id = ParseNumber(text);
    if (!id || *id <= 0 || *id > INT32_MAX) {
      return Fail(h, kInvalidArgument, u"whitelist text must be a company id");
    }
    zevo::host::MutexLock lock(&session.mu);
    session.whitelist.insert(static_cast<std::int32_t>(*id));
    return kOk;
  });
}
#endif

#ifndef TARSK_OMIT_TKGetWhitelistCount
std::int32_t TKGetWhitelistCount(std::int32_t h, std::int32_t* outCount) {
  return WithSession("TKGetWhitelistCount", h, [&](Session& session) {
    if (outCount == nullptr) return Fail(h, kInvalidArgument, u"no out pointer");
    zevo::host::MutexLock lock(&session.mu);
    *outCount = static_cast<std::int32_t>(session.whitelist.size());
    return kOk;
  });
}
#endif

#ifndef TARSK_OMIT_TKRemoveWhitelistItems
std::int32_t TKRemoveWhitelistItems(std::int32_t h, std::uint32_t index) {
  return WithSession("TKRemoveWhitelistItems", h, [&](Session& session) {
    if (index != zevo::kAllItems) return Fail(h, kNotSupported, u"only every entry at once");
    zevo::host::MutexLock lock(&session.mu);
    session.whitelist.clear();
    return kOk;
  });
}
#endif

#ifndef TARSK_OMIT_TKLoadWhitelist
TARSK_NOT_SUPPORTED(TKLoadWhitelist, const char16_t*)
#endif
#ifndef TARSK_OMIT_TKGetFirstWhitelistItem
TARSK_NOT_SUPPORTED(TKGetFirstWhitelistItem, TKC_WHITELIST_ITEM*)
#endif
#ifndef TARSK_OMIT_TKGetNextWhitelistItem
TARSK_NOT_SUPPORTED(TKGetNextWhitelistItem, TKC_WHITELIST_ITEM*)
#endif
#ifndef TARSK_OMIT_TKToggleWhitelistItems
TARSK_NOT_SUPPORTED(TKToggleWhitelistItems, std::uint32_t, std::int32_t)
#endif
#ifndef TARSK_OMIT_TKCheckWhitelist
TARSK_NOT_SUPPORTED(TKCheckWhitelist, const TKC_ITEM*, std::int32_t*)
#endif
#ifndef TARSK_OMIT_TKSaveWhitelist
TARSK_NOT_SUPPORTED(TKSaveWhitelist, const char16_t*)
#endif
#ifndef TARSK_OMIT_TKLoadBlacklist
TARSK_NOT_SUPPORTED(TKLoadBlacklist, const char16_t*)
#endif
#ifndef TARSK_OMIT_TKGetFirstBlacklistItem
TARSK_NOT_SUPPORTED(TKGetFirstBlacklistItem, TKC_WHITELIST_ITEM*)
#endif
#ifndef TARSK_OMIT_TKGetNextBlacklistItem
TARSK_NOT_SUPPORTED(TKGetNextBlacklistItem, TKC_WHITELIST_ITEM*)
#endif
#ifndef TARSK_OMIT_TKAddBlacklistItem
TARSK_NOT_SUPPORTED(TKAddBlacklistItem, const TKC_WHITELIST_ITEM*)
#endif
#ifndef TARSK_OMIT_TKRemoveBlacklistItems
TARSK_NOT_SUPPORTED(TKRemoveBlacklistItems, std::uint32_t)
#endif
#ifndef TARSK_OMIT_TKToggleBlacklistItems
TARSK_NOT_SUPPORTED(TKToggleBlacklistItems, std::uint32_t, std::int32_t)
#endif
#ifndef TARSK_OMIT_TKCheckBlacklist
TARSK_NOT_SUPPORTED(TKCheckBlacklist, const TKC_ITEM*, std::int32_t*)
#endif
#ifndef TARSK_OMIT_TKGetBlacklistCount
TARSK_NOT_SUPPORTED(TKGetBlacklistCount, std::int32_t*)
#endif
#ifndef TARSK_OMIT_TKSaveBlacklist
TARSK_NOT_SUPPORTED(TKSaveBlacklist, const char16_t*)
#endif

}  // extern "C"
