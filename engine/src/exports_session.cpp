// Entry points: engine set-up, sessions, pattern, options, properties, errors.
#include "exports.h"
#include "operations.h"
#include "platform.h"

using namespace tarsk;

namespace {

constexpr std::u16string_view kEngineVersion = u"" TARSK_ENGINE_VERSION;

// Reference-only, read with TKGetOption(0, ...): "1" while an RCM table is
// held, else "0". Lets tests see the engine-global state a driver leaves.
constexpr std::int32_t kOptionRcmTableHeld = 900;

bool KnownOption(std::int32_t option) {
  switch (option) {
    case zevo::kOptionEngineFolder:
    case zevo::kOptionDebugFolder:
    case zevo::kOptionEngineMode:
    case zevo::kOptionScanOption:
    case zevo::kOptionBackupPath:
    case zevo::kOptionBackupPrefix:
    case zevo::kOptionGlobalSwitch:
      return true;
    default:
      return false;
  }
}

std::int32_t LoadOwnPattern(Session& session) {
  const std::u16string folder = GlobalOption(zevo::kOptionEngineFolder).value_or(u"");
  if (folder.empty()) return Fail(session.handle, kPatternInvalid, u"engine folder (option 0) not set");
  try {
    auto pattern = LoadPatternFile(ToPath(folder) / ToPath(zevo::kPatternFileName));
    zevo::host::MutexLock lock(&session.mu);
    session.pattern = std::move(pattern);
    return kOk;
  } catch (const std::runtime_error& e) {
    return Fail(session.handle, kPatternInvalid, u"pattern: " + Utf8ToUtf16(e.what()));
  }
}

}  // namespace

extern "C" {

#ifndef TARSK_OMIT_TKSetRCMTable
std::int32_t TKSetRCMTable(std::int32_t h, const ZEVO_RcmRecord* rcmTable, std::uint32_t size) {
  return Guarded("TKSetRCMTable", h, [&] {
    if (h != 0) return Fail(h, kInvalidHandle, u"the RCM table is global");
    if (rcmTable == nullptr && size == 0) {
      SetRcmRecord(nullptr);
      return kOk;
    }
    if (rcmTable == nullptr || size != ZEVO_RCM_RECORD_SIZE) {
      return Fail(0, kInvalidArgument, u"RCM record must be 592 bytes");
    }
    SetRcmRecord(rcmTable);
    return kOk;
  });
}
#endif

#ifndef TARSK_OMIT_TKInit
std::int32_t TKInit(const char16_t* caller, std::int32_t version, std::int32_t* outHandle) {
  return Guarded("TKInit", 0, [&] {
    if (caller == nullptr || outHandle == nullptr || version != zevo::kTkInitVersion) {
      return Fail(0, kInvalidArgument, u"TKInit needs a caller, version 6 and an out handle");
    }
    *outHandle = OpenSession();
    return kOk;
  });
}
#endif

#ifndef TARSK_OMIT_TKQuit
std::int32_t TKQuit(std::int32_t h) {
  return Guarded("TKQuit", h, [&] {
    if (const auto session = FindSession(h)) session->stopRequested = true;
    return CloseSession(h) ? kOk : Fail(h, kInvalidHandle, u"no such session");
  });
}
#endif

#ifndef TARSK_OMIT_TKReadSpywarePattern
std::int32_t TKReadSpywarePattern(std::int32_t h, std::int32_t sharedSession, std::int32_t, std::int32_t) {
  return WithSession("TKReadSpywarePattern", h, [&](Session& session) {
    if (sharedSession == 0) return LoadOwnPattern(session);
    const auto main = FindSession(sharedSession);
    if (!main) return Fail(h, kInvalidHandle, u"no such session to share the pattern of");
    std::shared_ptr<const Pattern> pattern;
    {
      zevo::host::MutexLock lock(&main->mu);
      pattern = main->pattern;
    }
    if (!pattern) return Fail(h, kNoPattern, u"the shared session has no pattern");
    zevo::host::MutexLock lock(&session.mu);
    session.pattern = std::move(pattern);
    return kOk;
  });
}
#endif

#ifndef TARSK_OMIT_TKGetPatternProperty
std::int32_t TKGetPatternProperty(std::int32_t h, std::int32_t property, char16_t* buffer, std::int32_t capacity) {
  return WithSession("TKGetPatternProperty", h, [&](Session& session) {
    if (property != zevo::kPropertyVersion) return Fail(h, kNotSupported, u"unknown property");
    std::u16string version;
    {
      zevo::host::MutexLock lock(&session.mu);
      if (!session.pattern) return Fail(h, kNoPattern, u"no pattern loaded");
      version = session.pattern->version;
    }
    return WriteText(version, buffer, capacity) ? kOk : Fail(h, kBufferTooSmall, u"buffer too small");
  });
}
#endif

#ifndef TARSK_OMIT_TKIsSpywarePatternLoaded
std::int32_t TKIsSpywarePatternLoaded(std::int32_t h, std::int32_t* outLoaded) {
  return WithSession("TKIsSpywarePatternLoaded", h, [&](Session& session) {
    if (outLoaded == nullptr) return Fail(h, kInvalidArgument, u"no out pointer");
    zevo::host::MutexLock lock(&session.mu);
    *outLoaded = session.pattern ? 1 : 0;
    return kOk;
  });
}
#endif

#ifndef TARSK_OMIT_TKGetOption
std::int32_t TKGetOption(std::int32_t h, std::int32_t option, char16_t* value, std::int32_t capacity) {
  return Guarded("TKGetOption", h, [&] {
    std::optional<std::u16string> text;
    if (h == 0 && option == kOptionRcmTableHeld) {
      text = RcmRecord() ? u"1" : u"0";
    } else if (h == 0) {
      text = GlobalOption(option);
    } else {
      const auto session = FindSession(h);
      if (!session) return Fail(h, kInvalidHandle, u"no such session");
      text = SessionOption(*session, option);
    }
    if (!text) return Fail(h, kInvalidArgument, u"option not set");
    return WriteText(*text, value, capacity) ? kOk : Fail(h, kBufferTooSmall, u"buffer too small");
  });
}
#endif

#ifndef TARSK_OMIT_TKSetOption
std::int32_t TKSetOption(std::int32_t h, std::int32_t option, const char16_t* value) {
  return Guarded("TKSetOption", h, [&] {
    if (value == nullptr || !KnownOption(option)) {
      return Fail(h, kInvalidArgument, u"unknown option or no value");
    }
    if (h == 0) {
      SetGlobalOption(option, std::u16string(value));
      return kOk;
    }
    const auto session = FindSession(h);
    if (!session) return Fail(h, kInvalidHandle, u"no such session");
    zevo::host::MutexLock lock(&session->mu);
    session->options[option] = value;
    return kOk;
  });
}
#endif

#ifndef TARSK_OMIT_TKSetCallbackFunc
std::int32_t TKSetCallbackFunc(std::int32_t h, zevo::PFN_TKCallback callback) {
  return WithSession("TKSetCallbackFunc", h, [&](Session& session) {
    zevo::host::MutexLock lock(&session.mu);
    session.callback = callback;
    return kOk;
  });
}
#endif

#ifndef TARSK_OMIT_TKEnableScanner
std::int32_t TKEnableScanner(std::int32_t h, std::uint32_t scannerId, std::int32_t enable) {
  return WithSession("TKEnableScanner", h, [&](Session& session) {
    std::set<std::uint32_t> ids{scannerId};
    if (scannerId == zevo::kAllScanners || scannerId == zevo::kDefaultScanners) {
      ids = {kScannerBytes, kScannerHash, kScannerName, kScannerCookie};
    } else if (scannerId != kScannerBytes && scannerId != kScannerHash && scannerId != kScannerName &&
               scannerId != kScannerCookie) {
      return Fail(h, kInvalidArgument, u"unknown scanner");
    }
    zevo::host::MutexLock lock(&session.mu);
    for (const std::uint32_t id : ids) {
      if (enable != 0)
        session.scanners.insert(id);
      else
        session.scanners.erase(id);
    }
    return kOk;
  });
}
#endif

#ifndef TARSK_OMIT_TKGetEngineProperty
std::int32_t TKGetEngineProperty(std::int32_t property, char16_t* buffer, std::int32_t capacity) {
  return Guarded("TKGetEngineProperty", 0, [&] {
    if (property != zevo::kPropertyVersion) return Fail(0, kNotSupported, u"unknown property");
    return WriteText(kEngineVersion, buffer, capacity) ? kOk : Fail(0, kBufferTooSmall, u"buffer too small");
  });
}
#endif

#ifndef TARSK_OMIT_TKGetEngineStatus
std::int32_t TKGetEngineStatus(std::int32_t h, std::int32_t* outStatus) {
  return WithSession("TKGetEngineStatus", h, [&](Session& session) {
    if (outStatus == nullptr) return Fail(h, kInvalidArgument, u"no out pointer");
    *outStatus = session.state;
    return kOk;
  });
}
#endif

#ifndef TARSK_OMIT_TKGetLastError
std::int32_t TKGetLastError(std::int32_t h, std::int32_t* outCode, char16_t* text, std::int32_t capacity) {
  // Failures here go to the engine's error, never over the one h reports.
  return Guarded("TKGetLastError", 0, [&] {
    if (outCode == nullptr || text == nullptr || capacity <= 0) return kInvalidArgument;
    std::u16string message;
    GetLastError(h, *outCode, message);
    if (message.size() >= static_cast<std::size_t>(capacity)) message.resize(capacity - 1);
    WriteText(message, text, capacity);
    return kOk;
  });
}
#endif

}  // extern "C"
