// Conversion rules of the value classes, as a matrix over every integer
// type's boundaries, plus the rules for bool, text and message values.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "config/config_value_bool.h"
#include "config/config_value_complex.h"
#include "config/config_value_int.h"
#include "config/config_value_wstr.h"
#include "zevo/result.h"

namespace zevo::config {
namespace {

template <class F>
void ForEachInteger(F&& f) {
  f(std::type_identity<std::int8_t>{}), f(std::type_identity<std::int16_t>{});
  f(std::type_identity<std::int32_t>{}), f(std::type_identity<std::int64_t>{});
  f(std::type_identity<std::uint8_t>{}), f(std::type_identity<std::uint16_t>{});
  f(std::type_identity<std::uint32_t>{}), f(std::type_identity<std::uint64_t>{});
}

// A value a failed GetValue must leave alone.
template <class U>
constexpr U kSentinel = static_cast<U>(0x5a);

// Every target integer type receives `expected` exactly when it can hold it.
template <class Expected>
void ExpectIntegerReads(const CConfigValue& value, Expected expected, const std::string& what) {
  ForEachInteger([&]<class U>(std::type_identity<U>) {
    U out = kSentinel<U>;
    const std::int32_t rc = value.GetValue(out);
    if (std::in_range<U>(expected)) {
      EXPECT_EQ(rc, kCommonOk) << what << " as " << sizeof(U) << " bytes";
      EXPECT_EQ(out, static_cast<U>(expected)) << what;
    } else {
      EXPECT_EQ(rc, kUnsupported) << what << " as " << sizeof(U) << " bytes";
      EXPECT_EQ(out, kSentinel<U>) << what;
    }
  });
}

void ExpectNoIntegerReads(const CConfigValue& value, const std::string& what) {
  ForEachInteger([&]<class U>(std::type_identity<U>) {
    U out = kSentinel<U>;
    EXPECT_EQ(value.GetValue(out), kUnsupported) << what;
    EXPECT_EQ(out, kSentinel<U>) << what;
  });
}

TEST(ConfigValueInt, BoundaryMatrix) {
  ForEachInteger([]<class T>(std::type_identity<T>) {
    ForEachInteger([]<class S>(std::type_identity<S>) {
      for (S source : {std::numeric_limits<S>::min(), std::numeric_limits<S>::max(), S{0}, S{1}}) {
        const std::string what =
            std::to_string(sizeof(T)) + (std::is_signed_v<T> ? "s" : "u") + " <- " + std::to_string(source);
        CConfigValueInt<T> value;
        ASSERT_EQ(value.SetValue(T{7}), kCommonOk);
        const bool fits = std::in_range<T>(source);
        EXPECT_EQ(value.SetValue(source), fits ? kCommonOk : kUnsupported) << what;
        if (!fits) {
          ExpectIntegerReads(value, T{7}, what + " kept");
          continue;
        }
        ExpectIntegerReads(value, source, what);
        bool flag = source == 0;
        EXPECT_EQ(value.GetValue(flag), kCommonOk);
        EXPECT_EQ(flag, source != 0) << what;
      }
    });
  });
}

TEST(ConfigValueInt, TextsBoolsAndMessages) {
  std::u16string text;
  CConfigValueInt<std::uint64_t> big;
  EXPECT_EQ(big.SetValue(std::u16string(u"-1")), kUnsupported);  // never wraps around
  ASSERT_EQ(big.SetValue(std::u16string(u"18446744073709551615")), kCommonOk);
  CConfigValueInt<std::int16_t> small;
  EXPECT_EQ(small.SetValue(std::u16string(u"32768")), kUnsupported);
  EXPECT_EQ(small.SetValue(std::u16string(u"+05")), kCommonOk);

  // The signed 8-bit value is a character; the unsigned one a number.
  CConfigValueInt<std::int8_t> character;
  CConfigValueInt<std::uint8_t> byte;
  ASSERT_EQ(character.SetValue(std::int32_t{65}), kCommonOk);
  ASSERT_EQ(byte.SetValue(std::int32_t{65}), kCommonOk);
  EXPECT_EQ(character.GetValue(text), kCommonOk);
  EXPECT_EQ(text, u"A");
  EXPECT_EQ(byte.GetValue(text), kCommonOk);
  EXPECT_EQ(text, u"65");
  EXPECT_EQ(character.SetValue(std::u16string(u"65")), kUnsupported);
  EXPECT_EQ(byte.SetValue(std::u16string(u"65")), kUnsupported);

  ASSERT_EQ(byte.SetValue(true), kCommonOk);
  ExpectIntegerReads(byte, 1, "true");
  ZEVO_DataHandleWrapper message;
  EXPECT_EQ(byte.GetValue(message), kUnsupported);
  EXPECT_EQ(byte.SetValue(message), kUnsupported);

  // A value that never received a datum answers nothing.
  CConfigValueInt<std::int32_t> empty;
  EXPECT_EQ(empty.GetValue(text), kUnsupported);
  ExpectNoIntegerReads(empty, "empty");
}

TEST(ConfigValueBool, Rules) {
  CConfigValueBool value;
  std::u16string text;
  EXPECT_EQ(value.GetValue(text), kUnsupported);
  ForEachInteger([&]<class S>(std::type_identity<S>) {
    ASSERT_EQ(value.SetValue(std::numeric_limits<S>::max()), kCommonOk);
    ExpectIntegerReads(value, 1, "bool from max");
    ASSERT_EQ(value.SetValue(S{0}), kCommonOk);
    ExpectIntegerReads(value, 0, "bool from 0");
  });
  EXPECT_EQ(value.SetValue(std::int64_t{INT64_MIN}), kCommonOk);
  bool flag = false;
  EXPECT_EQ(value.GetValue(flag), kCommonOk);
  EXPECT_TRUE(flag);
  EXPECT_EQ(value.GetValue(text), kCommonOk);
  EXPECT_EQ(text, u"1");

  EXPECT_EQ(value.SetValue(std::u16string(u"0")), kCommonOk);
  EXPECT_EQ(value.GetValue(text), kCommonOk);
  EXPECT_EQ(text, u"0");
  for (const char16_t* bad : {u"true", u"2", u"", u" 1", u"01"}) {
    EXPECT_EQ(value.SetValue(std::u16string(bad)), kUnsupported);
  }
  EXPECT_EQ(value.GetValue(flag), kCommonOk);
  EXPECT_FALSE(flag);  // the failed texts kept false
  ZEVO_DataHandleWrapper message;
  EXPECT_EQ(value.SetValue(message), kUnsupported);
}

// The test's own reading of a decimal text, wide enough for any 64-bit text
// (and any number of leading zeros).
std::optional<__int128> Wide(std::u16string_view text) {
  const bool negative = text.starts_with(u'-');
  if (negative || text.starts_with(u'+')) text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  __int128 value = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return std::nullopt;
    value = value * 10 + (c - u'0');
  }
  return negative ? -value : value;
}

std::u16string Decimal(__int128 value) {
  std::u16string digits;
  for (__int128 rest = value < 0 ? -value : value; digits.empty() || rest != 0; rest /= 10) {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + static_cast<int>(rest % 10)));
  }
  return value < 0 ? u"-" + digits : digits;
}

TEST(ConfigValueWstr, TextToNumberMatrix) {
  // Each type's bounds and their neighbours outside, then texts that are no number.
  std::vector<std::u16string> texts = {u"abc", u"", u"+5", u"1 ", u" 1", u"+", u"-", u"+-1", u"-0"};
  texts.push_back(u"-" + std::u16string(30, u'0') + u"128");  // leading zeros past any width
  texts.push_back(u"+" + std::u16string(24, u'0') + u"18446744073709551615");
  ForEachInteger([&]<class U>(std::type_identity<U>) {
    for (__int128 bound : {__int128{std::numeric_limits<U>::min()}, __int128{std::numeric_limits<U>::max()}}) {
      for (int step : {-1, 0, 1}) texts.push_back(Decimal(bound + step));
    }
  });
  for (const std::u16string& text : texts) {
    CConfigValueWstr value;
    ASSERT_EQ(value.SetValue(text), kCommonOk);
    const std::optional<__int128> number = Wide(text);
    ForEachInteger([&]<class U>(std::type_identity<U>) {
      U out = kSentinel<U>;
      const bool fits = number && *number >= std::numeric_limits<U>::min() && *number <= std::numeric_limits<U>::max();
      EXPECT_EQ(value.GetValue(out), fits ? kCommonOk : kUnsupported);
      EXPECT_EQ(out, fits ? static_cast<U>(*number) : kSentinel<U>);
    });
    bool flag = true;
    const bool readable = number && *number >= INT64_MIN && *number <= INT64_MAX;
    EXPECT_EQ(value.GetValue(flag), readable ? kCommonOk : kUnsupported);
    EXPECT_EQ(flag, readable ? *number != 0 : true);
  }
}

TEST(ConfigValueWstr, NumbersToText) {
  CConfigValueWstr value;
  std::u16string text;
  EXPECT_EQ(value.GetValue(text), kUnsupported);
  const auto stored = [&](std::int32_t rc) {
    EXPECT_EQ(rc, kCommonOk);
    EXPECT_EQ(value.GetValue(text), kCommonOk);
    return text;
  };
  EXPECT_EQ(stored(value.SetValue(std::int8_t{65})), u"A");  // a character
  EXPECT_EQ(stored(value.SetValue(std::int64_t{INT64_MIN})), u"-9223372036854775808");
  EXPECT_EQ(stored(value.SetValue(std::uint64_t{UINT64_MAX})), u"18446744073709551615");
  EXPECT_EQ(stored(value.SetValue(false)), u"0");
  ZEVO_DataHandleWrapper message;
  EXPECT_EQ(value.GetValue(message), kUnsupported);
  EXPECT_EQ(value.SetValue(message), kUnsupported);
}

TEST(ConfigValueComplex, CarriesAMessageOnly) {
  CConfigValueComplex value;
  ZEVO_DataHandleWrapper out;
  EXPECT_EQ(value.GetValue(out), kUnsupported);  // nothing carried yet

  ZEVO_DataHandleWrapper carried(0x1234u);
  ASSERT_EQ(carried.PutInt32(7, -7), ZEVO_MSG_S_OK);
  ASSERT_EQ(value.SetValue(carried), kCommonOk);
  ASSERT_EQ(value.GetValue(out), kCommonOk);
  std::int32_t number = 0;
  EXPECT_EQ(out.GetInt32At(7, 0, &number), ZEVO_MSG_S_OK);
  EXPECT_EQ(number, -7);

  bool flag = false;
  std::u16string text;
  EXPECT_EQ(value.GetValue(flag), kUnsupported);
  EXPECT_EQ(value.GetValue(text), kUnsupported);
  EXPECT_EQ(value.SetValue(true), kUnsupported);
  EXPECT_EQ(value.SetValue(std::u16string(u"1")), kUnsupported);
  ExpectNoIntegerReads(value, "complex");
}

}  // namespace
}  // namespace zevo::config
