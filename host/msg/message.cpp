#include "message.h"

#include <algorithm>
#include <utility>

#include "codec.h"
#include "zevo/msg.h"

namespace zevo::msg {

Message::Message(std::uint32_t name_id, std::weak_ptr<Message> parent)
    : parent_(std::move(parent)), nested_(!parent_.expired()) {
  host::MutexLock lock(&mu_);
  contents_.name_id = name_id;
}

std::uint32_t Message::name_id() const {
  host::MutexLock lock(&mu_);
  return contents_.name_id;
}

void Message::Append(std::uint32_t index, Value value) {
  {
    host::MutexLock lock(&mu_);
    contents_.values[index].push_back(std::move(value));
  }
  MarkChanged();
}

std::int32_t Message::AppendCopyOf(const Message& nested) {
  // Copy before taking our own lock: `nested` may be this message.
  MessagePtr copy = nested.Copy(weak_from_this());
  if (Depth() + 1 + copy->Height() > ZEVO_MSG_MAX_NESTING) return ZEVO_MSG_E_TOO_LARGE;
  const std::uint32_t index = copy->name_id();
  Append(index, std::move(copy));
  return ZEVO_MSG_S_OK;
}

std::uint32_t Message::CountOf(std::uint32_t index) const {
  host::MutexLock lock(&mu_);
  auto it = contents_.values.find(index);
  return it == contents_.values.end() ? 0 : static_cast<std::uint32_t>(it->second.size());
}

void Message::Erase(std::uint32_t index) {
  std::vector<Value> erased;  // destroyed after the lock is released
  {
    host::MutexLock lock(&mu_);
    auto it = contents_.values.find(index);
    if (it == contents_.values.end()) return;
    erased.swap(it->second);
    contents_.values.erase(it);
  }
  MarkChanged();
}

void Message::Clear() {
  std::map<std::uint32_t, std::vector<Value>> cleared;
  std::vector<std::uint8_t> packed;
  {
    host::MutexLock lock(&mu_);
    cleared.swap(contents_.values);
    packed.swap(packed_);
  }
  MarkChanged();
}

MessagePtr Message::Copy(std::weak_ptr<Message> parent) const {
  host::MutexLock lock(&mu_);
  auto copy = std::make_shared<Message>(contents_.name_id, std::move(parent));
  Contents contents;
  contents.name_id = contents_.name_id;
  for (const auto& [index, values] : contents_.values) {
    std::vector<Value>& target = contents.values[index];
    target.reserve(values.size());
    for (const Value& value : values) {
      if (const MessagePtr* nested = std::get_if<MessagePtr>(&value)) {
        target.emplace_back((*nested)->Copy(copy));
      } else {
        target.push_back(value);
      }
    }
  }
  copy->Replace(std::move(contents));
  return copy;
}

unsigned Message::Height() const {
  host::MutexLock lock(&mu_);
  unsigned height = 0;
  for (const auto& entry : contents_.values) {
    for (const Value& value : entry.second) {
      if (const MessagePtr* nested = std::get_if<MessagePtr>(&value)) {
        height = std::max(height, 1 + (*nested)->Height());
      }
    }
  }
  return height;
}

std::int32_t Message::Pack() {
  host::MutexLock lock(&mu_);
  // Set before encoding: a nested message changed after the encoder read it
  // clears the flag again, so the bytes are never taken for current wrongly.
  packed_current_.store(true);
  std::vector<std::uint8_t> bytes;
  std::int32_t rc = Encode(contents_, &bytes);
  if (rc < 0) {
    packed_current_.store(false);
    return rc;
  }
  packed_.swap(bytes);
  return ZEVO_MSG_S_OK;
}

std::int32_t Message::PackedSize(std::uint32_t* size) const {
  host::MutexLock lock(&mu_);
  return EncodedSize(contents_, size);
}

std::int32_t Message::PackedStart(const void** start) const {
  host::MutexLock lock(&mu_);
  if (!packed_current_.load() || packed_.empty()) return ZEVO_MSG_E_NOT_PACKED;
  *start = packed_.data();
  return ZEVO_MSG_S_OK;
}

std::int32_t Message::Load(const std::uint8_t* bytes, std::size_t len) {
  Contents loaded;
  const unsigned depth = Depth();
  std::int32_t rc = Decode(bytes, len, weak_from_this(), ZEVO_MSG_MAX_NESTING - depth, &loaded);
  if (rc < 0) return rc;
  // The parent files a nested message under its name id: keep them equal.
  if (nested_ && loaded.name_id != name_id()) return ZEVO_MSG_E_INVALID;
  std::vector<std::uint8_t> packed;
  {
    host::MutexLock lock(&mu_);
    std::swap(contents_, loaded);
    packed.swap(packed_);
  }
  MarkChanged();
  return ZEVO_MSG_S_OK;
}

void Message::Replace(Contents contents) {
  host::MutexLock lock(&mu_);
  std::swap(contents_, contents);
}

unsigned Message::Depth() const {
  unsigned depth = 0;
  for (MessagePtr p = parent_.lock(); p; p = p->parent_.lock()) ++depth;
  return depth;
}

void Message::MarkChanged() {
  packed_current_.store(false);
  for (MessagePtr p = parent_.lock(); p; p = p->parent_.lock()) p->packed_current_.store(false);
}

}  // namespace zevo::msg
