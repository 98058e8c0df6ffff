#include "util/save_cfg_helper.h"

#include "log/logging.h"
#include "os/system_error.h"
#include "os/whole_file.h"

namespace zevo::util {

namespace {

constexpr logging::Site kLog{u"Core Config Repository",
                             u"common/include/SaveCfgHelper"};

}  // namespace

SaveCfgHelper::SaveCfgHelper(const std::uint8_t* data,
                             std::uint32_t length) noexcept {
  encrypted_ = ZevoDataCrypto::EncryptData(/*password=*/nullptr, data, length,
                                           buffer_, length_);
}

bool SaveCfgHelper::Save(std::u16string_view filePath,
                         bool writeThrough) noexcept {
  ZLOG_ENTER(kLog, u"SaveCfgHelper::Save", u"pwszFolderPath = ", filePath,
             u". bWriteThrough = ", writeThrough ? u'1' : u'0');
  if (!encrypted_) {
    ZLOG(kLog, logging::kLevelFailure, filePath, u" encryption fail.");
    return false;
  }
  const std::uint32_t fileFlags =
      writeThrough ? os::NewFile::kWriteThroughFlags : os::NewFile::kNormalFlags;
  os::NewFile file;
  std::uint32_t written = 0;
  // The system's error is read right after the failed call: logging and
  // closing may change it.
  std::int32_t error = 0;
  if (!file.Create(filePath, writeThrough)) {
    error = os::LastErrorCode();
    ZLOG(kLog, logging::kLevelFailure, u"CreateFile Fail.");
  } else if (!file.Write(buffer_.get(), length_, &written)) {
    error = os::LastErrorCode();
    file.Close();
    ZLOG(kLog, logging::kLevelFailure, u"WriteFile Fail.");
  } else if (written != length_) {
    error = os::LastErrorCode();
    file.Close();
    ZLOG(kLog, logging::kLevelFailure, u"WriteFile() fail",
         u". dwBytesWritten: ", written, u" != uiEncrytionSrcLen: ", length_);
  } else {
    file.Close();
    ZLOG_EXIT(kLog, u"SaveCfgHelper::Save", u"Return true");
    return true;
  }
  ZLOG(kLog, logging::kLevelFailure, u"SaveCfgHelper::Save",
       u". wstrFilePath: ", filePath, u". GetLastError(): ",
       error, u". dwFileAttribute: ", fileFlags,
       u". Return: false");
  return false;
}

}  // namespace zevo::util
