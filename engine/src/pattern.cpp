#include "pattern.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <limits>
#include <stdexcept>

#include "eicar.h"
#include "text.h"

namespace tarsk {

namespace {

constexpr char16_t kFieldSeparator = u'\x7f';
constexpr std::size_t kMaxRowChars = 2047;  // rows travel in 2048-character buffers
constexpr std::string_view kFormatVersion = "1";
constexpr std::string_view kChecksumRecord = "checksum\t";

// A pattern that names its format must end with the SHA-256 of every byte
// before its checksum line, so that a truncated or altered file is refused
// whole. Answers the text without the checksum line.
std::string_view CheckIntegrity(std::string_view text) {
  std::size_t format = text.starts_with("format\t") ? 0 : text.find("\nformat\t");
  if (format == text.npos) return text;
  if (text[format] == '\n') ++format;  // the line, not the line break before it
  std::string_view formatLine = text.substr(format);
  formatLine = formatLine.substr(0, formatLine.find_first_of("\r\n"));
  if (formatLine != "format\t" + std::string(kFormatVersion)) {
    throw std::runtime_error("unsupported pattern format '" + std::string(formatLine.substr(7)) + "'");
  }
  std::string_view body = text;
  if (body.ends_with('\n')) body.remove_suffix(1);
  if (body.ends_with('\r')) body.remove_suffix(1);
  const std::size_t start = body.rfind('\n') + 1;  // npos + 1 == 0
  const std::string_view last = body.substr(start);
  if (!last.starts_with(kChecksumRecord)) throw std::runtime_error("pattern truncated: no checksum line");
  if (last.substr(kChecksumRecord.size()) != ToHex(Sha256Of(text.substr(0, start)))) {
    throw std::runtime_error("pattern checksum mismatch");
  }
  return text.substr(0, start);
}

[[noreturn]] void Fail(std::size_t line, const std::string& what) {
  throw std::runtime_error("line " + std::to_string(line) + ": " + what);
}

std::int32_t Id(std::string_view text, std::size_t line) {
  const auto value = ParseNumber(text);
  if (!value || *value < std::numeric_limits<std::int32_t>::min() ||
      *value > std::numeric_limits<std::int32_t>::max()) {
    Fail(line, "bad number '" + std::string(text) + "'");
  }
  return static_cast<std::int32_t>(*value);
}

std::string Unhex(std::string_view hex, std::size_t line) {
  if (hex.empty() || hex.size() % 2 != 0) Fail(line, "bad hex text");
  std::string bytes;
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const auto value = ParseNumber("0x" + std::string(hex.substr(i, 2)));
    if (!value) Fail(line, "bad hex text");
    bytes.push_back(static_cast<char>(*value));
  }
  return bytes;
}

void AddRow(Table& table, const std::vector<std::string_view>& fields, std::size_t line) {
  if (fields.size() < 2) Fail(line, "row without fields");
  std::u16string row;
  for (std::size_t i = 1; i < fields.size(); ++i) {
    if (i > 1) row.push_back(kFieldSeparator);
    row += Utf8ToUtf16(fields[i]);
  }
  if (row.size() > kMaxRowChars) Fail(line, "row longer than 2047 characters");
  table.byId.emplace_back(Id(fields[1], line), static_cast<std::uint32_t>(table.rows.size()));
  table.rows.push_back(std::move(row));
}

void ReadSignatureValue(Signature& sig, std::string_view type, std::string_view value, std::size_t line) {
  sig.detail = Utf8ToUtf16(value);
  if (type == "bytes") {
    sig.type = SignatureType::kBytes;
    sig.scanner = kScannerBytes;
    sig.kind = kKindFileBytes;
    if (value == "@eicar")
      sig.bytes = EicarTestString();
    else if (value.starts_with("text:"))
      sig.bytes = value.substr(5);
    else if (value.starts_with("hex:"))
      sig.bytes = Unhex(value.substr(4), line);
    else
      Fail(line, "bytes value must be @eicar, text: or hex:");
    if (sig.bytes.empty()) Fail(line, "empty byte signature");
  } else if (type == "sha256") {
    sig.type = SignatureType::kSha256;
    sig.scanner = kScannerHash;
    sig.kind = kKindFileHash;
    const std::string raw = Unhex(value, line);
    if (raw.size() != sig.digest.size()) Fail(line, "SHA-256 needs 64 hex digits");
    std::copy(raw.begin(), raw.end(), sig.digest.begin());
  } else if (type == "name") {
    sig.type = SignatureType::kName;
    sig.scanner = kScannerName;
    sig.kind = kKindFileName;
    sig.glob = Utf8ToUtf16(value);
  } else if (type == "cookie") {
    sig.type = SignatureType::kCookie;
    sig.scanner = kScannerCookie;
    sig.kind = kKindCookie;
    sig.domain = AsciiLower(Utf8ToUtf16(value));
  } else {
    Fail(line, "unknown signature type '" + std::string(type) + "'");
  }
  if (value.empty()) Fail(line, "empty signature value");
}

void ReadSignatureOption(Signature& sig, std::string_view option, std::size_t line) {
  const std::size_t eq = option.find('=');
  const std::string_view key = option.substr(0, eq);
  const std::string_view value = eq == option.npos ? std::string_view() : option.substr(eq + 1);
  if (key == "company") {
    sig.companyText = Utf8ToUtf16(value);
  } else if (key == "name") {
    sig.name = Utf8ToUtf16(value);
  } else if (key == "flags") {
    for (const std::string_view flag : Split(value, ',')) {
      if (flag == "restart")
        sig.needsRestart = true;
      else if (flag == "nobackup")
        sig.notWithBackup = true;
      else
        Fail(line, "unknown flag '" + std::string(flag) + "'");
    }
  } else {
    Fail(line, "unknown signature option '" + std::string(key) + "'");
  }
}

Signature ReadSignature(const std::vector<std::string_view>& fields, std::size_t line) {
  if (fields.size() < 5) Fail(line, "sig needs type, item id, threat type and value");
  Signature sig;
  sig.itemId = Id(fields[2], line);
  sig.threatTypeId = Id(fields[3], line);
  ReadSignatureValue(sig, fields[1], fields[4], line);
  for (std::size_t i = 5; i < fields.size(); ++i) ReadSignatureOption(sig, fields[i], line);
  return sig;
}

void ReadLine(Pattern& pattern, std::string_view text, std::size_t line) {
  const std::vector<std::string_view> fields = Split(text, '\t');
  const std::string_view what = fields[0];
  if (what == "format") {
    if (fields.size() != 2 || fields[1] != kFormatVersion) Fail(line, "unsupported pattern format");
  } else if (what == "version") {
    if (fields.size() != 2 || fields[1].empty()) Fail(line, "version needs one text");
    pattern.version = Utf8ToUtf16(fields[1]);
  } else if (what == "item") {
    AddRow(pattern.tables[0], fields, line);
  } else if (what == "company") {
    AddRow(pattern.tables[1], fields, line);
  } else if (what == "threat") {
    AddRow(pattern.tables[2], fields, line);
  } else if (what == "sig") {
    pattern.signatures.push_back(ReadSignature(fields, line));
  } else if (what == "referential") {
    if (fields.size() != 3) Fail(line, "referential needs item id and threat type");
    pattern.referentialItemId = Id(fields[1], line);
    pattern.referentialThreatTypeId = Id(fields[2], line);
  } else {
    Fail(line, "unknown record '" + std::string(what) + "'");
  }
}

}  // namespace

std::vector<std::uint32_t> Table::RowsWithId(std::int32_t id) const {
  const auto first = std::lower_bound(byId.begin(), byId.end(), std::pair(id, std::uint32_t{0}));
  std::vector<std::uint32_t> found;
  for (auto it = first; it != byId.end() && it->first == id; ++it) found.push_back(it->second);
  return found;
}

const std::u16string* Table::FindRow(std::int32_t id) const {
  const auto it = std::lower_bound(byId.begin(), byId.end(), std::pair(id, std::uint32_t{0}));
  return it != byId.end() && it->first == id ? &rows[it->second] : nullptr;
}

const Table* Pattern::TableById(std::int32_t id) const {
  return id >= 1 && id <= kTableCount ? &tables[id - 1] : nullptr;
}

std::int32_t Pattern::CompanyIdOfItem(std::int32_t itemId) const {
  const std::u16string* row = tables[0].FindRow(itemId);
  if (row == nullptr) return 0;
  return static_cast<std::int32_t>(ParseNumber(RowField(*row, 1)).value_or(0));
}

std::u16string Pattern::CompanyName(std::int32_t companyId) const {
  const std::u16string* row = tables[1].FindRow(companyId);
  return row == nullptr ? std::u16string() : std::u16string(RowField(*row, 1));
}

std::u16string Pattern::ItemName(std::int32_t itemId) const {
  const std::u16string* row = tables[0].FindRow(itemId);
  return row == nullptr ? std::u16string() : std::u16string(RowField(*row, 2));
}

std::u16string_view RowField(std::u16string_view row, std::size_t n) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < n; ++i) {
    start = row.find(kFieldSeparator, start);
    if (start == row.npos) return {};
    ++start;
  }
  const std::size_t end = row.find(kFieldSeparator, start);
  return row.substr(start, end == row.npos ? row.npos : end - start);
}

std::shared_ptr<const Pattern> ParsePattern(std::string_view text) {
  auto pattern = std::make_shared<Pattern>();
  std::size_t line = 0;
  for (std::string_view rest = CheckIntegrity(text); !rest.empty();) {
    const std::size_t end = rest.find('\n');
    std::string_view current = rest.substr(0, end);
    rest = end == rest.npos ? std::string_view() : rest.substr(end + 1);
    ++line;
    if (!current.empty() && current.back() == '\r') current.remove_suffix(1);
    if (current.empty() || current.front() == '#') continue;
    ReadLine(*pattern, current, line);
  }
  if (pattern->version.empty()) throw std::runtime_error("pattern has no version");
  for (Table& table : pattern->tables) std::sort(table.byId.begin(), table.byId.end());
  for (const Signature& sig : pattern->signatures) {
    pattern->longestBytes = std::max(pattern->longestBytes, sig.bytes.size());
  }
  return pattern;
}

std::shared_ptr<const Pattern> LoadPatternFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open the pattern file");
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) throw std::runtime_error("cannot read the pattern file");
  return ParsePattern(text);
}

}  // namespace tarsk
