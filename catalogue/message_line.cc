#include "catalogue/message_line.h"

namespace msgreport {
namespace {

std::string_view FirstWord(std::string_view line) {
  std::size_t begin = line.find_first_not_of(' ');
  if (begin == std::string_view::npos) return {};
  std::size_t end = line.find(' ', begin);
  if (end == std::string_view::npos) end = line.size();
  return line.substr(begin, end - begin);
}

std::string_view WithoutTrailingBlanks(std::string_view line) {
  std::size_t last = line.find_last_not_of(" \t");
  return last == std::string_view::npos ? std::string_view()
                                        : line.substr(0, last + 1);
}

// An entry line with its key: its text, or why it has none.
ParsedLine ParseEntry(std::string_view line, std::string_view key) {
  std::size_t open = line.find('"');
  if (open == std::string_view::npos) return {LineShape::kNoQuote, key, {}};
  std::string_view trimmed = WithoutTrailingBlanks(line);
  std::size_t close = trimmed.size() - 1;
  if (trimmed[close] != '"' || close == open) {
    bool quote_after_text = line.find('"', open + 1) != std::string_view::npos;
    return {quote_after_text ? LineShape::kTextAfterQuote
                             : LineShape::kNoClosingQuote,
            key,
            {}};
  }
  return {LineShape::kEntry, key, line.substr(open + 1, close - open - 1)};
}

// Rules 3 and 4, for a line that is neither blank nor a comment.
ParsedLine ParseNonComment(std::string_view line) {
  std::string_view key = FirstWord(line);
  if (line.find(':') == std::string_view::npos) {
    return {LineShape::kNoColon, key, {}};
  }
  if (line.find('\0') != std::string_view::npos) {
    return {LineShape::kNulByte, key, {}};
  }
  return ParseEntry(line, key);
}

}  // namespace

ParsedLine ParseLine(std::string_view line) {
  if (line.empty()) return {LineShape::kBlank, {}, {}};
  if (line.find("//") != std::string_view::npos) {
    return {LineShape::kComment, {}, {}};
  }
  return ParseNonComment(line);
}

ParsedLine ParseCatalogueLine(std::string_view line) {
  if (line.empty()) return {LineShape::kBlank, {}, {}};
  if (StartsAsComment(line)) return {LineShape::kComment, {}, {}};
  return ParseNonComment(line);
}

bool StartsAsComment(std::string_view line) {
  std::size_t begin = line.find_first_not_of(" \t");
  return begin != std::string_view::npos && line.compare(begin, 2, "//") == 0;
}

}  // namespace msgreport
