// A value built aside and published whole: readers see the old value or the
// new one, never one half-changed, and never wait for a writer.
//
// A reader counts itself in on a stripe of its own thread (a cache line that
// other threads rarely write), under the current generation; a writer swaps
// the pointer, opens the next generation and waits only for the readers
// that counted in under the old one before it frees the old value. New
// readers count in under the new generation, so they never hold a writer up.
//
// Safe for concurrent use: any number of readers, writers serialised among
// themselves.
#ifndef ZEVO_SRC_UTIL_PUBLISHED_H_
#define ZEVO_SRC_UTIL_PUBLISHED_H_

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace zevo::util {

template <class T>
class Published {
 public:
  // Starts with a default-constructed value. Throws only std::bad_alloc.
  Published() : current_(new T()) {}
  // REQUIRES: no reader or writer left.
  ~Published() { delete current_.load(); }
  Published(const Published&) = delete;
  Published& operator=(const Published&) = delete;

  // Calls fn(const T&) and returns what it returns. Lock-free. fn must be
  // short, must not publish, and must return a value, never a pointer or
  // reference into T: the value may be freed as soon as Read returns.
  template <class Fn>
  auto Read(Fn&& fn) const {
    static thread_local const std::size_t stripe = std::hash<std::thread::id>{}(std::this_thread::get_id()) % kStripes;
    for (;;) {
      const std::uint32_t generation = generation_.load();
      const Count count(readers_[generation & 1][stripe].n);
      // Counted in under a generation that is still current: a writer that
      // swaps from now on waits for this reader.
      if (generation_.load() == generation) return fn(static_cast<const T&>(*current_.load()));
    }
  }

  // Makes `next` the value; the old one is freed once the readers that may
  // still hold it are gone. REQUIRES: next is not null; the caller is not
  // inside Read.
  void Publish(std::unique_ptr<const T> next) noexcept {
    std::lock_guard writer(writer_);
    const std::unique_ptr<const T> old(current_.exchange(next.release()));
    const std::uint32_t generation = generation_.fetch_add(1);
    for (const Stripe& s : readers_[generation & 1]) {
      while (s.n.load() != 0) std::this_thread::yield();
    }
  }

 private:
  static constexpr std::size_t kStripes = 16;
  struct alignas(128) Stripe {
    std::atomic<std::uint32_t> n{0};
  };
  // A reader's mark on its stripe, taken away even when fn throws.
  class Count {
   public:
    explicit Count(std::atomic<std::uint32_t>& n) noexcept : n_(n) { n_.fetch_add(1); }
    ~Count() { n_.fetch_sub(1, std::memory_order_release); }
    Count(const Count&) = delete;
    Count& operator=(const Count&) = delete;

   private:
    std::atomic<std::uint32_t>& n_;
  };

  mutable std::array<std::array<Stripe, kStripes>, 2> readers_;
  std::atomic<std::uint32_t> generation_{0};
  std::atomic<const T*> current_;
  std::mutex writer_;
};

}  // namespace zevo::util

#endif  // ZEVO_SRC_UTIL_PUBLISHED_H_
