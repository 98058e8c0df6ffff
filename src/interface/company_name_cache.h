// The company names of custom-range items as one engine interface object
// first saw them. The engine reports such an item's company only in the item
// itself; the first text seen for an id is kept for the object's life so that
// every report of that id names the same company.
//
// Safe for concurrent use: the host may drive one object from two threads
// (one scanning, one cleaning), whose reports both reach this cache. The
// lock is held only for one map lookup or insertion.
#ifndef ZEVO_SRC_INTERFACE_COMPANY_NAME_CACHE_H_
#define ZEVO_SRC_INTERFACE_COMPANY_NAME_CACHE_H_

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

#include "zevo/thread_annotations.h"

namespace zevo::iface {

class CompanyNameCache {
 public:
  CompanyNameCache() = default;
  CompanyNameCache(const CompanyNameCache&) = delete;
  CompanyNameCache& operator=(const CompanyNameCache&) = delete;

  // Enters `text` for `id` unless the id already has a name, then writes the
  // cached name into `name`. False (name unchanged) only when memory runs out.
  bool NameOf(std::int32_t id, std::u16string_view text, std::u16string& name) noexcept ZEVO_EXCLUDES(mutex_);

  std::size_t size() const noexcept ZEVO_EXCLUDES(mutex_);

 private:
  // std::mutex carrying the annotations.
  class ZEVO_CAPABILITY("mutex") Mutex {
   public:
    void Lock() noexcept ZEVO_ACQUIRE() { mutex_.lock(); }
    void Unlock() noexcept ZEVO_RELEASE() { mutex_.unlock(); }

   private:
    std::mutex mutex_;
  };
  class ZEVO_SCOPED_CAPABILITY Guard {
   public:
    explicit Guard(Mutex& mutex) noexcept ZEVO_ACQUIRE(mutex) : mutex_(mutex) { mutex_.Lock(); }
    ~Guard() ZEVO_RELEASE() { mutex_.Unlock(); }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;

   private:
    Mutex& mutex_;
  };

  mutable Mutex mutex_;
  std::map<std::int32_t, std::u16string, std::less<>> names_ ZEVO_GUARDED_BY(mutex_);
};

}  // namespace zevo::iface

#endif  // ZEVO_SRC_INTERFACE_COMPANY_NAME_CACHE_H_
