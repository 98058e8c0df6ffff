#include "util/save_cfg_helper.h"

#include "log/logging.h"
#include "os/system_error.h"
#include "os/whole_file.h"

namespace zevo::util {

namespace {

constexpr logging::Site kLog{u"Core Config Repository", u"common/include/SaveCfgHelper"};

// Logs why a step failed and keeps the system's error, read before the
// line is written (logging and closing may change it). Always false.
bool Failed(std::u16string_view text, std::int32_t& error) noexcept {
  error = os::LastErrorCode();
  ZLOG(kLog, logging::kLevelFailure, text);
  return false;
}

// Writes all `length` bytes to `file` (an os::NewFile or an
// os::FileReplacement).
template <class File>
bool WriteAll(File& file, const std::uint8_t* data, std::uint32_t length, std::int32_t& error) noexcept {
  std::uint32_t written = 0;
  if (!file.Write(data, length, &written)) return Failed(u"WriteFile Fail.", error);
  if (written != length) {
    error = os::LastErrorCode();
    ZLOG(kLog, logging::kLevelFailure, u"WriteFile() fail", u". dwBytesWritten: ", written, u" != uiEncrytionSrcLen: ",
         length);
    return false;
  }
  return true;
}

}  // namespace

SaveCfgHelper::SaveCfgHelper(const std::uint8_t* data, std::uint32_t length) noexcept {
  encrypted_ = ZevoDataCrypto::EncryptData(/*password=*/nullptr, data, length, buffer_, length_);
}

bool SaveCfgHelper::Save(std::u16string_view filePath, bool writeThrough) noexcept {
  ZLOG_ENTER(kLog, u"SaveCfgHelper::Save", u"pwszFolderPath = ", filePath, u". bWriteThrough = ",
             writeThrough ? u'1' : u'0');
  if (!encrypted_) {
    ZLOG(kLog, logging::kLevelFailure, filePath, u" encryption fail.");
    return false;
  }
  std::int32_t error = 0;
  if (Replace(filePath, writeThrough, error)) {
    ZLOG_EXIT(kLog, u"SaveCfgHelper::Save", u"Return true");
    return true;
  }
  const std::uint32_t fileFlags = writeThrough ? os::NewFile::kWriteThroughFlags : os::NewFile::kNormalFlags;
  ZLOG(kLog, logging::kLevelFailure, u"SaveCfgHelper::Save", u". wstrFilePath: ", filePath, u". GetLastError(): ",
       error, u". dwFileAttribute: ", fileFlags, u". Return: false");
  return false;
}

bool SaveCfgHelper::Replace(std::u16string_view filePath, bool writeThrough, std::int32_t& error) noexcept {
  os::FileReplacement file;
  switch (file.Create(filePath, writeThrough)) {
    case os::FileReplacement::CreateResult::kOk:
      break;
    case os::FileReplacement::CreateResult::kRefused:
      ZLOG(kLog, logging::kLevelInfo, filePath,
           u" cannot be replaced in one step: its folder refuses a new file. Written in place.");
      return WriteInPlace(filePath, writeThrough, error);
    case os::FileReplacement::CreateResult::kFailed:
      return Failed(u"CreateFile Fail.", error);
  }
  if (!WriteAll(file, buffer_.get(), length_, error)) return false;
  if (!file.Flush()) return Failed(u"FlushFileBuffers Fail.", error);
  if (!file.Commit()) return Failed(u"MoveFileEx Fail.", error);
  return true;
}

bool SaveCfgHelper::WriteInPlace(std::u16string_view filePath, bool writeThrough, std::int32_t& error) noexcept {
  os::NewFile file;
  if (!file.Create(filePath, writeThrough)) return Failed(u"CreateFile Fail.", error);
  return WriteAll(file, buffer_.get(), length_, error);
}

}  // namespace zevo::util
