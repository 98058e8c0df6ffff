// Writes the system configuration file: encrypts a text once, then replaces
// the file with the encrypted bytes in one step.
#ifndef ZEVO_UTIL_SAVE_CFG_HELPER_H_
#define ZEVO_UTIL_SAVE_CFG_HELPER_H_

#include <cstdint>
#include <string_view>

#include "util/zevo_data_crypto.h"

namespace zevo::util {

class SaveCfgHelper {
 public:
  // Encrypts `length` bytes of `data` with the built-in password.
  SaveCfgHelper(const std::uint8_t* data, std::uint32_t length) noexcept;

  // Creates or replaces `filePath` with the encrypted bytes. They are
  // written to a new file beside it and flushed (also write-through with
  // `writeThrough`), which then takes the old file's place in one step: a
  // crash or a full disk leaves the old file or the new one, never a torn
  // one. Only where the folder refuses a new file is the file written in
  // place (logged). False, with the reason logged and the old file as it
  // was, when encryption had failed or any step failed.
  bool Save(std::u16string_view filePath, bool writeThrough) noexcept;

 private:
  // The steps of Save; false with the failure logged and the system's error
  // in `error`.
  bool Replace(std::u16string_view filePath, bool writeThrough, std::int32_t& error) noexcept;
  bool WriteInPlace(std::u16string_view filePath, bool writeThrough, std::int32_t& error) noexcept;

  bool encrypted_ = false;
  CryptoBuffer buffer_;
  std::uint32_t length_ = 0;
};

}  // namespace zevo::util

#endif  // ZEVO_UTIL_SAVE_CFG_HELPER_H_
