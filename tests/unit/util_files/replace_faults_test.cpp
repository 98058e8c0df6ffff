// Replacing a file in use: whichever call fails after the old target was
// moved aside, the target ends with the new content or the old one.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "files_test_support.h"
#include "os/file_ops.h"
#include "util/file_calls.h"
#include "util/file_ops.h"

namespace zevo::util {
namespace {

// The system's calls, counted. The first `steps` replacement steps (copies,
// and moves that replace) fail as if the target were in use, and so does
// call number `failAt`.
struct Faults {
  static inline int count = 0;
  static inline int failAt = -1;
  static inline int steps = 1;

  static bool Fail(bool step) {
    bool fail = count++ == failAt;
    if (step && steps-- > 0) fail = true;
    if (fail) os::SetLastWin32Error(os::kErrorSharingViolation);
    return fail;
  }
  static const FileCalls& Calls() {
    static constexpr FileCalls kCalls{
        [](std::u16string_view p, std::uint32_t& a) noexcept {
          return !Fail(false) && SystemFileCalls().GetAttributes(p, a);
        },
        [](std::u16string_view p, std::uint32_t a) noexcept {
          return !Fail(false) && SystemFileCalls().SetAttributes(p, a);
        },
        [](std::u16string_view f, std::u16string_view t, std::uint32_t flags) noexcept {
          return !Fail(flags == (os::kMoveReplaceExisting | os::kMoveWriteThrough)) &&
                 SystemFileCalls().MoveWithFlags(f, t, flags);
        },
        [](std::u16string_view f, std::u16string_view t) noexcept {
          return !Fail(false) && SystemFileCalls().MoveFileTo(f, t);
        },
        [](std::u16string_view p) noexcept { return !Fail(false) && SystemFileCalls().DeleteFileAt(p); },
        [](std::u16string_view f, std::u16string_view t, bool e) noexcept {
          return !Fail(true) && SystemFileCalls().CopyFileTo(f, t, e);
        },
        [](std::u16string_view l, std::u16string_view e) noexcept {
          return !Fail(false) && SystemFileCalls().MakeHardLink(l, e);
        },
        [](std::u16string_view p) noexcept { return !Fail(false) && SystemFileCalls().CreateFolder(p); }};
    return kCalls;
  }
};

class ReplaceFaults : public filestest::FilesTest {
 protected:
  // Runs the replacement with call `failAt` failing too; the number of calls.
  int Run(bool hardLink, int failAt, std::int32_t& result, int steps = 1) {
    Write("target", "old");
    Write("source", "new");
    Faults::count = 0;
    Faults::failAt = failAt;
    Faults::steps = steps;
    const ScopedFileCalls scope(Faults::Calls());
    result = hardLink ? ReplaceByHardLink(At("target").c_str(), At("source").c_str())
                      : CopyFileWithRetry(At("source").c_str(), At("target").c_str());
    return Faults::count;
  }
};

TEST_F(ReplaceFaults, TheOldTargetSurvivesEveryFailingCall) {
  for (const bool hardLink : {false, true}) {
    std::int32_t result = 0;
    const int calls = Run(hardLink, -1, result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Read("target"), "new");
    for (int k = 0; k <= calls; ++k) {
      SCOPED_TRACE(testing::Message() << "hard link " << hardLink << ", call " << k << " fails");
      Run(hardLink, k, result);
      // Old or new, never neither; a failure leaves the old one in place
      // (the only one that may stay aside is a "bak" whose move back failed).
      if (result == 0) {
        EXPECT_EQ(Read("target"), "new");
      } else if (Read("target") != "old") {
        EXPECT_EQ(Count(), 2u);  // source and the "bak" file
      }
      std::error_code ignored;
      for (const auto& entry : filestest::fs::directory_iterator(root_)) {
        if (entry.path().filename() != "source" && entry.path().filename() != "target") {
          filestest::fs::remove(entry.path(), ignored);
        }
      }
    }
  }
}

TEST_F(ReplaceFaults, ASecondStepThatFailsMovesTheOldTargetBack) {
  for (const bool hardLink : {false, true}) {
    std::int32_t result = 0;
    Run(hardLink, /*failAt=*/-1, result, /*steps=*/2);
    EXPECT_EQ(result, os::kErrorSharingViolation);
    EXPECT_EQ(Read("target"), "old");
    EXPECT_EQ(Count(), 2u);
  }
}

}  // namespace
}  // namespace zevo::util
