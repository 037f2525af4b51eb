// The grammar of one line of a message file, on its own, before any
// catalogue is consulted. The library's reader, the checker and the
// checker's catalogue all read lines through ParseLine, so they agree on
// what a key and a text are.
//
// The rules, in the order they apply:
//  1. A line with nothing before its line end is blank.
//  2. A line that holds "//" anywhere, even inside a text, is a comment.
//  3. A line that holds no ':' is not an entry.
//  4. Any other line is an entry. Its key is the first run of characters
//     other than spaces, after any leading spaces: only the space separates,
//     so a tab, a colon or a quote is part of the key. Its text stands
//     between the line's first double quote and a closing one that ends the
//     line, trailing spaces and tabs aside. Quotes inside the text need
//     no escape: the text simply runs to the line's last double quote.
//
// A program's catalogue, the list of built-in keys and texts that message
// files are checked against, is read with the same rules but one: there a
// comment is a line that begins with "//", so that a built-in text may hold
// "//", as a URL does.

#ifndef MSGREPORT_CATALOGUE_MESSAGE_LINE_H_
#define MSGREPORT_CATALOGUE_MESSAGE_LINE_H_

#include <string_view>

namespace msgreport {

enum class LineShape {
  kBlank,
  kComment,
  kNoColon,
  kEntry,           // a key and a text
  kNulByte,         // an entry holding a NUL byte, which no text can carry
  kNoQuote,         // an entry without any double quote
  kNoClosingQuote,  // the text is not closed by a final double quote
  kTextAfterQuote,  // characters other than blanks follow the closing quote
};

struct ParsedLine {
  LineShape shape = LineShape::kBlank;
  // The first word, for every shape but blank and comment.
  std::string_view key;
  // For kEntry only.
  std::string_view text;

  // An entry whose text cannot be read.
  bool malformed() const { return shape > LineShape::kEntry; }
};

// Views into `line`, which holds no line end.
ParsedLine ParseLine(std::string_view line);

// The same for a line of a program's catalogue, where only a line that
// begins with "//" is a comment.
ParsedLine ParseCatalogueLine(std::string_view line);

// Whether a comment line begins, after spaces and tabs, with "//": meant as
// a comment, not an entry whose text holds "//".
bool StartsAsComment(std::string_view line);

}  // namespace msgreport

#endif  // MSGREPORT_CATALOGUE_MESSAGE_LINE_H_
