// Placeholder expansion and path clean-up over arbitrary UTF-16 text: no
// crash, and the stated relations between input and output hold.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "util/env_expand.h"
#include "zevo/result.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

const zevo::util::EnvVarMapType& Variables() {
  static const zevo::util::EnvVarMapType variables{{u"%zevo_install_path%", u"C:\\Prog\\ZEVO\\"},
                                                   {u"%TEMP%", u"T"},
                                                   {u"%EMPTY%", u""},
                                                   {u"%LONG%", std::u16string(300, u'L')}};
  return variables;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::u16string input(size / 2, u'\0');
  if (!input.empty()) std::memcpy(input.data(), data, input.size() * 2);

  std::vector<zevo::util::VariableToken> tokens;
  const bool balanced = zevo::util::FindVariableTokens(input, tokens);
  std::size_t end = 0;
  for (const auto& token : tokens) {
    Check(token.position >= end && token.length >= 2);
    Check(input[token.position] == u'%' && input[token.position + token.length - 1] == u'%');
    end = token.position + token.length;
  }

  std::u16string output;
  const bool ok = zevo::util::ExpandEnvironmentVar(input, output, true, Variables());
  if (!balanced) Check(!ok && output == input);
  if (input.find(u'%') == std::u16string::npos) Check(ok && output == input);
  zevo::util::ExpandEnvironmentVar(input, output, false);

  std::u16string path = input;
  const std::int32_t status = zevo::util::NormalizeEnvPath(path);
  Check(status == zevo::kCommonOk || status < 0);
  if (input.empty()) Check(status == zevo::kUnsupported);

  std::u16string terminated = input + u'\0';
  const char16_t* skipped = zevo::util::SkipLongPathPrefix(terminated.data());
  Check(skipped >= terminated.data() && skipped <= terminated.data() + 6);
  return 0;
}
