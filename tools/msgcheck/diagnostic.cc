#include "tools/msgcheck/diagnostic.h"

#include "catalogue/message_limits.h"

namespace msgcheck {

std::string Escaped(std::string_view text) {
  constexpr char kHex[] = "0123456789abcdef";
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f) {
      escaped += "\\x";
      escaped += kHex[byte >> 4];
      escaped += kHex[byte & 0xf];
    } else {
      escaped += c;
    }
  }
  return escaped;
}

std::string Quoted(std::string_view text) { return "'" + Escaped(text) + "'"; }

std::string MalformedEntryText(const msgreport::ParsedLine& parsed) {
  using msgreport::LineShape;
  if (parsed.shape == LineShape::kNulByte) {
    return "malformed entry: the line holds a NUL byte";
  }
  std::string head = "malformed entry for " + Quoted(parsed.key) + ": ";
  switch (parsed.shape) {
    case LineShape::kNoQuote:
      return head + "no double-quoted text";
    case LineShape::kNoClosingQuote:
      return head + "the text has no closing double quote";
    default:
      return head + "characters after the closing double quote";
  }
}

std::string TooLongText() {
  return "line longer than " + std::to_string(msgreport::kMaxLineBytes) +
         " bytes; skipped unread";
}

void Say(const DiagnosticSink& sink, const std::string& path, std::size_t line,
         const char* severity, const std::string& what) {
  sink(path + ":" + std::to_string(line) + ": " + severity + ": " + what);
}

}  // namespace msgcheck
