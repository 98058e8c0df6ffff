#include "session.h"

#include <utility>

namespace tarsk {

namespace {

struct EngineState {
  zevo::host::SharedMutex mu;
  std::map<std::int32_t, std::shared_ptr<Session>> sessions ZEVO_GUARDED_BY(mu);
  std::int32_t nextHandle ZEVO_GUARDED_BY(mu) = 1;
  std::map<std::int32_t, std::u16string> options ZEVO_GUARDED_BY(mu);
  std::optional<ZEVO_RcmRecord> rcm ZEVO_GUARDED_BY(mu);
  std::int32_t lastErrorCode ZEVO_GUARDED_BY(mu) = 0;
  std::u16string lastErrorText ZEVO_GUARDED_BY(mu);
};

// Destroyed when the library is unloaded; nothing outlives it.
EngineState& State() {
  static EngineState state;
  return state;
}

}  // namespace

std::int32_t OpenSession() {
  EngineState& state = State();
  zevo::host::WriterLock lock(&state.mu);
  const std::int32_t h = state.nextHandle++;
  state.sessions.emplace(h, std::make_shared<Session>(h));
  return h;
}

std::shared_ptr<Session> FindSession(std::int32_t h) {
  EngineState& state = State();
  zevo::host::ReaderLock lock(&state.mu);
  const auto it = state.sessions.find(h);
  return it == state.sessions.end() ? nullptr : it->second;
}

bool CloseSession(std::int32_t h) {
  EngineState& state = State();
  zevo::host::WriterLock lock(&state.mu);
  return state.sessions.erase(h) != 0;
}

std::int32_t Fail(std::int32_t h, std::int32_t status, std::u16string_view text) {
  if (const auto session = FindSession(h)) {
    zevo::host::MutexLock lock(&session->mu);
    session->lastErrorCode = status;
    session->lastErrorText = text;
  } else {
    EngineState& state = State();
    zevo::host::WriterLock lock(&state.mu);
    state.lastErrorCode = status;
    state.lastErrorText = text;
  }
  return status;
}

void GetLastError(std::int32_t h, std::int32_t& code, std::u16string& text) {
  if (const auto session = FindSession(h)) {
    zevo::host::MutexLock lock(&session->mu);
    code = session->lastErrorCode;
    text = session->lastErrorText;
    return;
  }
  EngineState& state = State();
  zevo::host::ReaderLock lock(&state.mu);
  code = state.lastErrorCode;
  text = state.lastErrorText;
}

void SetGlobalOption(std::int32_t option, std::u16string value) {
  EngineState& state = State();
  zevo::host::WriterLock lock(&state.mu);
  state.options[option] = std::move(value);
}

std::optional<std::u16string> GlobalOption(std::int32_t option) {
  EngineState& state = State();
  zevo::host::ReaderLock lock(&state.mu);
  const auto it = state.options.find(option);
  if (it == state.options.end()) return std::nullopt;
  return it->second;
}

std::optional<std::u16string> SessionOption(Session& session, std::int32_t option) {
  {
    zevo::host::MutexLock lock(&session.mu);
    const auto it = session.options.find(option);
    if (it != session.options.end()) return it->second;
  }
  return GlobalOption(option);
}

void SetRcmRecord(const ZEVO_RcmRecord* record) {
  EngineState& state = State();
  zevo::host::WriterLock lock(&state.mu);
  if (record == nullptr)
    state.rcm.reset();
  else
    state.rcm = *record;
}

std::optional<ZEVO_RcmRecord> RcmRecord() {
  EngineState& state = State();
  zevo::host::ReaderLock lock(&state.mu);
  return state.rcm;
}

BusyScope::BusyScope(Session& session, std::int32_t state)
    : session_(session), acquired_(!session.busy.exchange(true)) {
  if (acquired_) session_.state = state;
}

BusyScope::~BusyScope() {
  if (!acquired_) return;
  session_.state = kStateIdle;
  session_.busy = false;
}

}  // namespace tarsk
