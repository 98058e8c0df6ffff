#include "util/file_calls.h"

#include "os/file_ops.h"
#include "os/file_system.h"

namespace zevo::util {

namespace {

constexpr FileCalls kSystemCalls{&os::GetAttributes, &os::SetAttributes, &os::MoveWithFlags, &os::MoveFileTo,
                                 &os::DeleteFileAt,  &os::CopyFileTo,    &os::MakeHardLink,  &os::CreateFolder};

thread_local const FileCalls* t_calls = &kSystemCalls;

}  // namespace

const FileCalls& SystemFileCalls() noexcept { return kSystemCalls; }

const FileCalls& CurrentFileCalls() noexcept { return *t_calls; }

ScopedFileCalls::ScopedFileCalls(const FileCalls& calls) noexcept : previous_(t_calls) { t_calls = &calls; }

ScopedFileCalls::~ScopedFileCalls() { t_calls = previous_; }

}  // namespace zevo::util
