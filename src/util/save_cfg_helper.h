// Writes the system configuration file: encrypts a text once, then writes
// the encrypted bytes over a file.
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

  // Creates (or replaces) `filePath` and writes the encrypted bytes; with
  // `writeThrough` they reach the disk before this returns. False, with
  // the reason logged, when encryption had failed or the file could not be
  // written completely.
  bool Save(std::u16string_view filePath, bool writeThrough) noexcept;

 private:
  bool encrypted_ = false;
  CryptoBuffer buffer_;
  std::uint32_t length_ = 0;
};

}  // namespace zevo::util

#endif  // ZEVO_UTIL_SAVE_CFG_HELPER_H_
