// C++ owner of one message handle, over the C API of zevo/msg.h.
//
// The host receives this object by pointer, so its layout stays simple: the
// vtable pointer (the destructor is the only virtual function), then the
// handle, then the read cursors. It is a C++ class of this library's users,
// not an interface object passed by vtable slot.
#ifndef ZEVO_MSG_WRAPPER_H_
#define ZEVO_MSG_WRAPPER_H_

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "zevo/msg.h"

class ZEVO_DataHandleWrapper {
 public:
  // New empty top-level message (name id 0).
  ZEVO_DataHandleWrapper() noexcept : ZEVO_DataHandleWrapper(std::uint32_t{0}) {}

  // New empty message with this name id. If creation fails the wrapper holds
  // a zeroed handle and every call fails; see Valid().
  explicit ZEVO_DataHandleWrapper(std::uint32_t nameId) noexcept { ZEVO_Msg_CreateDataHandle(nameId, &handle_); }

  // Shares the message of a raw handle (a second reference); the caller
  // keeps its own reference.
  explicit ZEVO_DataHandleWrapper(const ZEVO_DataHandle& handle) noexcept {
    ZEVO_Msg_ShareDataHandle(&handle, &handle_);
  }

  // Shares the other wrapper's message. Read cursors start afresh.
  ZEVO_DataHandleWrapper(const ZEVO_DataHandleWrapper& other) noexcept : ZEVO_DataHandleWrapper(other.handle_) {}

  ZEVO_DataHandleWrapper(ZEVO_DataHandleWrapper&& other) noexcept
      : handle_(std::exchange(other.handle_, ZEVO_DataHandle{})), cursors_(std::move(other.cursors_)) {
    other.cursors_.clear();
  }

  ZEVO_DataHandleWrapper& operator=(const ZEVO_DataHandleWrapper& other) noexcept {
    if (this != &other) {
      ZEVO_DataHandle shared{};
      ZEVO_Msg_ShareDataHandle(&other.handle_, &shared);
      Adopt(shared);
    }
    return *this;
  }

  ZEVO_DataHandleWrapper& operator=(ZEVO_DataHandleWrapper&& other) noexcept {
    if (this != &other) {
      Adopt(std::exchange(other.handle_, ZEVO_DataHandle{}));
      cursors_.swap(other.cursors_);
      other.cursors_.clear();
    }
    return *this;
  }

  virtual ~ZEVO_DataHandleWrapper() {
    cursors_.clear();
    ZEVO_Msg_DestroyDataHandle(&handle_);
  }

  const ZEVO_DataHandle& Handle() const noexcept { return handle_; }

  // True while the handle names a live message.
  bool Valid() const noexcept {
    std::uint32_t nameId = 0;
    return ZEVO_Msg_GetNameID(&handle_, &nameId) >= 0;
  }

  // Releases the held reference and takes over `handle` (which this wrapper
  // now owns). Read cursors start afresh.
  void Adopt(ZEVO_DataHandle handle) noexcept {
    ZEVO_Msg_DestroyDataHandle(&handle_);
    handle_ = handle;
    cursors_.clear();
  }

  // --- Handles ---
  std::int32_t Share(ZEVO_DataHandle* out) const noexcept { return ZEVO_Msg_ShareDataHandle(&handle_, out); }
  std::int32_t Duplicate(ZEVO_DataHandle* out) const noexcept { return ZEVO_Msg_DuplicateDataHandle(&handle_, out); }

  // --- Putting values ---
  std::int32_t PutInt32(std::uint32_t index, std::int32_t value) noexcept {
    return ZEVO_Msg_PutInt32(&handle_, index, value);
  }
  std::int32_t PutUInt32(std::uint32_t index, std::uint32_t value) noexcept {
    return ZEVO_Msg_PutUInt32(&handle_, index, value);
  }
  std::int32_t PutWString(std::uint32_t index, const char16_t* s, std::uint32_t lengthInChars) noexcept {
    return ZEVO_Msg_PutWString(&handle_, index, s, lengthInChars);
  }
  std::int32_t PutWString(std::uint32_t index, std::u16string_view s) noexcept {
    if (s.size() > UINT32_MAX) return ZEVO_MSG_E_TOO_LARGE;
    return PutWString(index, s.data(), static_cast<std::uint32_t>(s.size()));
  }
  std::int32_t PutString(std::uint32_t index, const char* s, std::uint32_t lengthInBytes) noexcept {
    return ZEVO_Msg_PutString(&handle_, index, s, lengthInBytes);
  }
  std::int32_t PutBinary(std::uint32_t index, const void* p, std::uint32_t size) noexcept {
    return ZEVO_Msg_PutBinary(&handle_, index, p, size);
  }
  // Stores a copy of the nested message under its name id.
  std::int32_t PutData(const ZEVO_DataHandle& nested) noexcept { return ZEVO_Msg_PutData(&handle_, &nested); }
  std::int32_t PutData(const ZEVO_DataHandleWrapper& nested) noexcept { return PutData(nested.handle_); }

  // --- Getting values ---
  std::int32_t GetInt32At(std::uint32_t index, std::uint32_t position, std::int32_t* out) const noexcept {
    return ZEVO_Msg_GetInt32At(&handle_, index, position, out);
  }
  std::int32_t GetUInt32At(std::uint32_t index, std::uint32_t position, std::uint32_t* out) const noexcept {
    return ZEVO_Msg_GetUInt32At(&handle_, index, position, out);
  }
  std::int32_t GetWStringAt(std::uint32_t index, std::uint32_t position, char16_t* buf, std::uint32_t sizeInChars,
                            std::uint32_t* outLen) const noexcept {
    return ZEVO_Msg_GetWStringAt(&handle_, index, position, buf, sizeInChars, outLen);
  }
  // Both steps of a wide-string read: the length, then the characters.
  std::int32_t GetWStringAt(std::uint32_t index, std::uint32_t position, std::u16string* out) const noexcept {
    if (out == nullptr) return ZEVO_MSG_E_INVALID;
    std::uint32_t length = 0;
    std::int32_t rc = GetWStringAt(index, position, nullptr, 0, &length);
    if (rc < 0) return rc;
    try {
      std::u16string text(std::size_t{length} + 1, u'\0');
      rc = GetWStringAt(index, position, text.data(), length + 1, &length);
      if (rc < 0) return rc;
      text.resize(length);
      *out = std::move(text);
    } catch (...) {
      return ZEVO_MSG_E_NO_MEMORY;
    }
    return ZEVO_MSG_S_OK;
  }
  std::int32_t GetStringAt(std::uint32_t index, std::uint32_t position, char* buf, std::uint32_t sizeInBytes,
                           std::uint32_t* outLen) const noexcept {
    return ZEVO_Msg_GetStringAt(&handle_, index, position, buf, sizeInBytes, outLen);
  }
  std::int32_t GetBinaryAt(std::uint32_t index, std::uint32_t position, void* buf, std::uint32_t size,
                           std::uint32_t* outLen) const noexcept {
    return ZEVO_Msg_GetBinaryAt(&handle_, index, position, buf, size, outLen);
  }
  std::int32_t GetSizeOf(std::uint32_t index, std::uint32_t* count) const noexcept {
    return ZEVO_Msg_GetSizeOf(&handle_, index, count);
  }

  // Nested messages. GetDataAt gives `out` a reference into this message;
  // ReadDataAt gives it an independent copy. On failure `out` is unchanged.
  std::int32_t GetDataAt(std::uint32_t nameId, std::uint32_t position, ZEVO_DataHandle* out) const noexcept {
    return ZEVO_Msg_GetDataAt(&handle_, nameId, position, out);
  }
  std::int32_t GetDataAt(std::uint32_t nameId, std::uint32_t position, ZEVO_DataHandleWrapper& out) const noexcept {
    return Into(ZEVO_Msg_GetDataAt, nameId, position, out);
  }
  std::int32_t ReadDataAt(std::uint32_t nameId, std::uint32_t position, ZEVO_DataHandle* out) const noexcept {
    return ZEVO_Msg_ReadDataAt(&handle_, nameId, position, out);
  }
  std::int32_t ReadDataAt(std::uint32_t nameId, std::uint32_t position, ZEVO_DataHandleWrapper& out) const noexcept {
    return Into(ZEVO_Msg_ReadDataAt, nameId, position, out);
  }

  // Reads (as a copy) the nested message named nameId at that name id's read
  // cursor, and advances the cursor only when the read succeeds.
  std::int32_t ReadNextData(std::uint32_t nameId, ZEVO_DataHandleWrapper& out) noexcept {
    auto it = cursors_.find(nameId);
    const std::uint32_t position = it == cursors_.end() ? 0 : it->second;
    std::int32_t rc = ReadDataAt(nameId, position, out);
    if (rc < 0) return rc;
    try {
      cursors_[nameId] = position + 1;
    } catch (...) {
      return ZEVO_MSG_E_NO_MEMORY;
    }
    return rc;
  }

  // Next position ReadNextData reads for nameId.
  std::uint32_t CursorOf(std::uint32_t nameId) const noexcept {
    auto it = cursors_.find(nameId);
    return it == cursors_.end() ? 0 : it->second;
  }

  std::int32_t GetNameID(std::uint32_t* nameId) const noexcept { return ZEVO_Msg_GetNameID(&handle_, nameId); }

  // --- Packed form ---
  std::int32_t GetDataLen(std::uint32_t* bytes) const noexcept { return ZEVO_Msg_GetDataLen(&handle_, bytes); }
  std::int32_t GetStartAddress(const void** p) const noexcept { return ZEVO_Msg_GetStartAddress(&handle_, p); }
  std::int32_t Pack() noexcept { return ZEVO_Msg_Pack(&handle_); }
  std::int32_t Load(const void* bytes, std::uint32_t len) noexcept { return ZEVO_Msg_Load(&handle_, bytes, len); }

  // --- Removing values ---
  // Also resets every read cursor.
  std::int32_t Clear() noexcept {
    cursors_.clear();
    return ZEVO_Msg_Clear(&handle_);
  }
  std::int32_t Erase(std::uint32_t index) noexcept { return ZEVO_Msg_Erase(&handle_, index); }

 private:
  using NestedGetter = std::int32_t (*)(const ZEVO_DataHandle*, std::uint32_t, std::uint32_t,
                                        ZEVO_DataHandle*) noexcept;

  std::int32_t Into(NestedGetter get, std::uint32_t nameId, std::uint32_t position,
                    ZEVO_DataHandleWrapper& out) const noexcept {
    ZEVO_DataHandle nested{};
    std::int32_t rc = get(&handle_, nameId, position, &nested);
    if (rc >= 0) out.Adopt(nested);
    return rc;
  }

  ZEVO_DataHandle handle_{};
  // Nested-message name id -> next position ReadNextData reads (absent = 0).
  std::map<std::uint32_t, std::uint32_t> cursors_;
};

#endif  // ZEVO_MSG_WRAPPER_H_
