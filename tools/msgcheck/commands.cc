#include "tools/msgcheck/commands.h"

#include <cstdio>
#include <filesystem>
#include <string_view>
#include <vector>

#include "tools/msgcheck/catalogue_header.h"
#include "tools/msgcheck/coverage.h"
#include "tools/msgcheck/diagnostic.h"
#include "tools/msgcheck/file_check.h"
#include "tools/msgcheck/master_catalogue.h"
#include "tools/msgcheck/merge.h"
#include "tools/msgcheck/output_file.h"
#include "tools/msgcheck/plural_forms.h"
#include "tools/msgcheck/translation_template.h"

namespace msgcheck {
namespace {

using Status = msgreport::LineReader::Status;

void Print(const std::string& line) { std::printf("%s\n", line.c_str()); }
// For the commands whose output may be standard output.
void PrintToStderr(const std::string& line) {
  std::fprintf(stderr, "%s\n", line.c_str());
}

const char* WhyUnread(Status status) {
  switch (status) {
    case Status::kNotAFile:
      return ": not a regular file";
    case Status::kReadError:
      return ": a read error stopped it before its end";
    case Status::kTooLarge:
      return ": larger than 64 MiB, the most a message file may be";
    case Status::kOpen:
    case Status::kCannotOpen:
      break;
  }
  return "";
}

void CannotRead(const char* what, const std::string& path, Status status) {
  std::fprintf(stderr, "msgcheck: cannot read %s %s%s\n", what,
               Quoted(path).c_str(), WhyUnread(status));
}

// Which files a command takes beside its catalogue.
enum class Beside { kNoMessageFile, kMessageFiles };

// Loads the invocation's catalogue, printing its diagnostics to `sink`.
// False when it cannot be read at all, or when the command reads message
// files and the catalogue is one of those: its findings would look
// plausible and mean nothing, so none are printed.
bool LoadCatalogue(const Invocation& invocation, MasterCatalogue& catalogue,
                   const DiagnosticSink& sink, Beside beside) {
  const std::string& path = invocation.files.front();
  std::vector<std::string> diagnostics;
  Status status = LoadMasterCatalogue(
      path, catalogue,
      [&diagnostics](const std::string& line) { diagnostics.push_back(line); });
  if (status != Status::kOpen) {
    CannotRead("catalogue", path, status);
    return false;
  }
  std::string swapped = SwappedArguments(path, catalogue);
  if (beside == Beside::kMessageFiles && !swapped.empty()) {
    std::fprintf(stderr, "msgcheck: %s\n", swapped.c_str());
    return false;
  }
  for (const std::string& line : diagnostics) sink(line);
  return true;
}

// For the commands that make a file from the catalogue, which refuse one
// they cannot read whole. Their diagnostics go to stderr, since the file
// they make may go to stdout. Returns the status to exit with, or kClean.
int LoadWholeCatalogue(const Invocation& invocation, MasterCatalogue& catalogue,
                       Beside beside) {
  if (!LoadCatalogue(invocation, catalogue, PrintToStderr, beside)) {
    return kTrouble;
  }
  return catalogue.errors == 0 ? kClean : kFindings;
}

int CannotWrite(const std::string& path, const std::string& why) {
  if (why.empty()) return kClean;
  std::fprintf(stderr, "msgcheck: cannot write %s: %s\n", Quoted(path).c_str(),
               why.c_str());
  return kTrouble;
}

int Write(const std::string& path, const std::string& text) {
  return CannotWrite(path, WriteOutput(path, text));
}

// The catalogue is what every other file is made from: no command writes
// over it, whichever argument names it.
int RefuseToOverwrite(const Invocation& invocation, const std::string& target) {
  const std::string& catalogue = invocation.files.front();
  if (!SameFile(catalogue, target)) return kClean;
  std::fprintf(stderr,
               "msgcheck: %s is the catalogue; refusing to write "
               "over it\n",
               Quoted(target).c_str());
  return kTrouble;
}

// The worse of two exit statuses.
int Worse(int a, int b) { return a > b ? a : b; }

}  // namespace

int RunCheck(const Invocation& invocation) {
  DiagnosticSink sink = Print;
  if (invocation.Has("--quiet")) sink = [](const std::string&) {};
  MasterCatalogue catalogue;
  if (!LoadCatalogue(invocation, catalogue, sink, Beside::kMessageFiles)) {
    return kTrouble;
  }
  int status = catalogue.errors == 0 ? kClean : kFindings;
  for (std::size_t i = 1; i < invocation.files.size(); ++i) {
    const std::string& path = invocation.files[i];
    FileSummary summary = CheckMessageFile(path, catalogue, sink);
    if (!summary.readable()) {
      CannotRead("message file", path, summary.status);
      status = kTrouble;
      continue;
    }
    Print(SummaryLine(path, summary));
    if (!summary.clean()) status = Worse(status, kFindings);
  }
  return status;
}

int RunCoverage(const Invocation& invocation) {
  MasterCatalogue catalogue;
  if (!LoadCatalogue(invocation, catalogue, Print, Beside::kMessageFiles)) {
    return kTrouble;
  }
  int status = catalogue.errors == 0 ? kClean : kFindings;
  for (std::size_t i = 1; i < invocation.files.size(); ++i) {
    const std::string& path = invocation.files[i];
    Coverage coverage = MeasureCoverage(path, catalogue);
    if (coverage.status != Status::kOpen) {
      CannotRead("message file", path, coverage.status);
      status = kTrouble;
      continue;
    }
    if (invocation.Has("--list")) {
      for (const ToReview& r : coverage.to_review) {
        Print(CoverageNote(path, r));
      }
      for (const Untranslated& u : coverage.untranslated) {
        Print(CoverageNote(path, u));
      }
      for (const CannotBeGiven& c : coverage.cannot_be_given) {
        Print(CoverageNote(path, c));
      }
    }
    Print(CoverageLine(path, coverage));
    if (invocation.Has("--strict") && !coverage.done()) {
      status = Worse(status, kFindings);
    }
  }
  return status;
}

int RunTemplate(const Invocation& invocation) {
  MasterCatalogue catalogue;
  if (int refused =
          LoadWholeCatalogue(invocation, catalogue, Beside::kNoMessageFile)) {
    return refused;
  }
  std::string language = invocation.Value("--language", "");
  if (!language.empty() && CategoriesOf(language) == 0) {
    std::fprintf(stderr,
                 "msgcheck: %s is no language the Unicode CLDR has plural "
                 "rules for (write one as \"pl\" or \"pt_BR\")\n",
                 Quoted(language).c_str());
    return kTrouble;
  }
  std::string output = invocation.Value("--output", "-");
  if (int refused = RefuseToOverwrite(invocation, output)) return refused;
  return Write(output, TranslationTemplate(catalogue, language));
}

int RunMerge(const Invocation& invocation) {
  MasterCatalogue catalogue;
  if (int refused =
          LoadWholeCatalogue(invocation, catalogue, Beside::kMessageFiles)) {
    return refused;
  }
  const std::string& path = invocation.files[1];
  std::string output = invocation.Value("--output", path.c_str());
  if (int refused = RefuseToOverwrite(invocation, path)) return refused;
  if (int refused = RefuseToOverwrite(invocation, output)) return refused;
  OutputFile out(output);
  if (!out.error().empty()) return CannotWrite(output, out.error());
  MergeResult merged = MergeTranslation(
      path, catalogue, [&out](std::string_view bytes) { out.Write(bytes); });
  if (merged.status != Status::kOpen) {
    CannotRead("message file", path, merged.status);
    return kTrouble;
  }
  if (!merged.read_to_end) {
    std::fprintf(stderr,
                 "msgcheck: %s was not read to its end (a Ctrl-Z byte on "
                 "Windows); nothing written\n",
                 Quoted(path).c_str());
    return kTrouble;
  }
  if (merged.too_long_line != 0) {
    std::fprintf(stderr,
                 "msgcheck: %s:%s: %s, so it cannot be kept; nothing "
                 "written\n",
                 Quoted(path).c_str(),
                 std::to_string(merged.too_long_line).c_str(),
                 TooLongText().c_str());
    return kTrouble;
  }
  // A file merged in place that changes nothing is left as it was, not
  // rewritten the same.
  bool in_place = !invocation.Has("--output") || SameFile(output, path);
  if ((merged.changed || !in_place) && CannotWrite(output, out.Commit())) {
    return kTrouble;
  }
  // The summary goes where the merged file does not.
  std::fprintf(output == "-" ? stderr : stdout, "%s\n",
               MergeLine(path, merged).c_str());
  return kClean;
}

int RunHeader(const Invocation& invocation) {
  std::string name_space = invocation.Value("--namespace", "messages");
  if (!IsNamespaceName(name_space)) {
    std::fprintf(stderr,
                 "msgcheck: %s cannot name a namespace: use C++ names joined "
                 "by '::'\n",
                 Quoted(name_space).c_str());
    return kTrouble;
  }
  HeaderNames names{
      name_space,
      invocation.Value("--prefix", DefaultMacroPrefix(name_space).c_str())};
  if (!WhyNotCxxName(names.macro_prefix).empty()) {
    std::fprintf(stderr, "msgcheck: %s cannot begin a macro name: %s\n",
                 Quoted(names.macro_prefix).c_str(),
                 WhyNotCxxName(names.macro_prefix).c_str());
    return kTrouble;
  }
  MasterCatalogue catalogue;
  if (int refused =
          LoadWholeCatalogue(invocation, catalogue, Beside::kNoMessageFile)) {
    return refused;
  }
  const std::string& path = invocation.files.front();
  if (int refused = RefuseToOverwrite(invocation, invocation.files[1])) {
    return refused;
  }
  std::size_t bad = CheckKeyNames(path, catalogue, PrintToStderr) +
                    CheckCataloguePlurals(path, catalogue, PrintToStderr);
  if (bad != 0) return kFindings;
  return Write(
      invocation.files[1],
      CatalogueHeader(catalogue, names,
                      std::filesystem::path(path).filename().string()));
}

}  // namespace msgcheck
