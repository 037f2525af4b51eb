// The comment lines msgcheck writes into a message file for the translator
// and for its own later runs: what the developers tell translators, the
// built-in text an entry was made from, a mark that an entry waits for the
// translator's review, and why a key has no entry. The library reads them
// as the comments they are, so a file means the same with or without them;
// `template` and `merge` write them, and `merge`, `check` and `coverage`
// read them, all through this one grammar.
//
// Each is one line that begins in its first column:
//   // developers: NOTE       a comment line that stands directly above the
//                             key's entry in the catalogue
//   // review: WHY            the entry waits for review; deleting the line
//                             is what accepts it
//   // built-in: "TEXT"       the built-in text the entry was made from
//   // KEY has no entry: ...  in place of an entry that no message-file line
//                             can hold, its explanation going on in the
//                             line after it
//   // obsolete: ENTRY        an entry whose key left the catalogue, kept for
//                             the translator; written, never read back
//
// An entry's annotations are the run of note, review and record lines
// directly above it, written in that order. Any other line, a blank one or
// a translator's own comment, ends the run: what the translator writes
// stands above it and is never taken for the tool's.

#ifndef MSGREPORT_TOOLS_MSGCHECK_ANNOTATION_H_
#define MSGREPORT_TOOLS_MSGCHECK_ANNOTATION_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace msgcheck {

enum class AnnotationKind {
  kNone,         // any other line
  kNote,         // value: the developers' note
  kReview,       // value: why the entry waits for review
  kRecord,       // value: the recorded built-in text
  kNoEntry,      // value: the key without an entry
  kNoEntryMore,  // the line that goes on explaining a missing entry
};

struct Annotation {
  AnnotationKind kind = AnnotationKind::kNone;
  std::string_view value;  // a view into the line parsed
};

// What `line`, without its line end, is in the grammar above.
Annotation ParseAnnotation(std::string_view line);

// Each line without its line end.
std::string NoteLine(std::string_view note);
std::string RecordLine(std::string_view text);
std::string ChangedTextReview(std::string_view old_text);
std::string UnfitTextReview();
std::string NewFormReview();
std::string ObsoleteLine(std::string_view entry);
// Both lines, each ended by a line feed.
std::string NoEntryLines(std::string_view key);

// The note that a comment line of a catalogue gives: what follows its "//"
// and one space.
std::string_view CatalogueNote(std::string_view comment);

// Why no message-file line can hold `key` with `text` as they stand; empty
// when `EntryLine` can.
std::string WhyNoEntry(std::string_view key, std::string_view text);
// `KEY : "text"`, the entry as a template writes it.
std::string EntryLine(std::string_view key, std::string_view text);

// The annotations of one entry, gathered a line at a time.
struct Annotations {
  std::vector<std::string> notes;
  std::optional<std::string> recorded;  // the last record
  std::size_t review_line = 0;          // the first review mark's; 0: none
  std::string review;                   // why it was set

  // Adds a note, review or record; any other annotation is left out.
  void Add(const Annotation& annotation, std::size_t line_number);
};

// Follows a message file a line at a time, gathering each run of
// annotations but its notes, which only a merge needs: what it holds stays
// within two lines, however long a run.
class AnnotationReader {
 public:
  // The record and review mark that stand directly above `line`; none when
  // `line` is an annotation itself, which then joins the run.
  Annotations Above(std::string_view line, std::size_t line_number);

 private:
  Annotations run_;
};

}  // namespace msgcheck

#endif  // MSGREPORT_TOOLS_MSGCHECK_ANNOTATION_H_
