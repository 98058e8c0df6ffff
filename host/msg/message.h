// One message: its contents, its lock and its packed form.
#ifndef ZEVO_HOST_MSG_MESSAGE_H_
#define ZEVO_HOST_MSG_MESSAGE_H_

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "sync.h"
#include "value.h"

namespace zevo::msg {

// Safe for concurrent use. Lock order: a parent's lock before its nested
// messages' locks. Nested messages are always private copies, so the nesting
// forms a tree and that order is never reversed.
//
// Functions returning std::int32_t return ZEVO_MSG_* result codes; every
// function may throw std::bad_alloc.
class Message : public std::enable_shared_from_this<Message> {
 public:
  // parent: the message holding this one as a value, or an empty pointer for
  // a top-level message. Fixed for the message's life.
  Message(std::uint32_t name_id, std::weak_ptr<Message> parent);
  Message(const Message&) = delete;
  Message& operator=(const Message&) = delete;

  std::uint32_t name_id() const ZEVO_EXCLUDES(mu_);

  void Append(std::uint32_t index, Value value) ZEVO_EXCLUDES(mu_);
  // Appends a deep copy of `nested` under its name id. `nested` may be this.
  std::int32_t AppendCopyOf(const Message& nested) ZEVO_EXCLUDES(mu_);
  std::uint32_t CountOf(std::uint32_t index) const ZEVO_EXCLUDES(mu_);
  void Erase(std::uint32_t index) ZEVO_EXCLUDES(mu_);
  void Clear() ZEVO_EXCLUDES(mu_);

  // Calls fn(const Value&) with the value at (index, position) under the
  // lock; false when there is none. fn must not call back into this message.
  template <class Fn>
  bool VisitAt(std::uint32_t index, std::uint32_t position, Fn&& fn) const ZEVO_EXCLUDES(mu_) {
    host::MutexLock lock(&mu_);
    auto it = contents_.values.find(index);
    if (it == contents_.values.end() || position >= it->second.size()) return false;
    fn(it->second[position]);
    return true;
  }

  // Calls fn(const Contents&) under the lock and returns its result.
  template <class Fn>
  auto VisitContents(Fn&& fn) const ZEVO_EXCLUDES(mu_) {
    host::MutexLock lock(&mu_);
    return fn(contents_);
  }

  // Deep copy whose nested messages are copies too.
  MessagePtr Copy(std::weak_ptr<Message> parent) const ZEVO_EXCLUDES(mu_);

  // Levels of nested messages below this one (0 when it holds none).
  unsigned Height() const ZEVO_EXCLUDES(mu_);

  std::int32_t Pack() ZEVO_EXCLUDES(mu_);
  std::int32_t PackedSize(std::uint32_t* size) const ZEVO_EXCLUDES(mu_);
  std::int32_t PackedStart(const void** start) const ZEVO_EXCLUDES(mu_);
  // Leaves the message unchanged on failure.
  std::int32_t Load(const std::uint8_t* bytes, std::size_t len) ZEVO_EXCLUDES(mu_);

  // Replaces name id and values of a message being built by a copy or a
  // load. Enclosing messages are not marked changed: the builder does that
  // once the new message is in place.
  void Replace(Contents contents) ZEVO_EXCLUDES(mu_);

 private:
  // Levels of messages above this one that still exist.
  unsigned Depth() const;
  // Marks the packed form of this message and of every enclosing one stale.
  void MarkChanged();

  const std::weak_ptr<Message> parent_;
  const bool nested_;

  mutable host::Mutex mu_;
  Contents contents_ ZEVO_GUARDED_BY(mu_);
  std::vector<std::uint8_t> packed_ ZEVO_GUARDED_BY(mu_);
  // Written without mu_ by nested messages when they change.
  std::atomic<bool> packed_current_{false};
};

}  // namespace zevo::msg

#endif  // ZEVO_HOST_MSG_MESSAGE_H_
