// msgcheck: tells the people who write message files which lines take
// effect, and why the others do not.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/msgcheck/diagnostic.h"
#include "tools/msgcheck/file_check.h"
#include "tools/msgcheck/master_catalogue.h"

namespace {

constexpr int kClean = 0;
constexpr int kFindings = 1;
constexpr int kTrouble = 2;

void PrintUsage(std::FILE* out) {
  std::fputs(
      "usage: msgcheck [-q|--quiet] CATALOGUE MESSAGEFILE...\n"
      "\n"
      "Checks each MESSAGEFILE line by line, the way a program's set-up reads\n"
      "it, against CATALOGUE, a message file that lists the built-in keys and\n"
      "texts. Reports each line that does not take effect as\n"
      "FILE:LINE: severity: message, then a summary per file.\n"
      "\n"
      "  -q, --quiet   print the summaries only\n"
      "  --help        show this help\n"
      "  --version     show the version\n"
      "\n"
      "Exit status: 0 when every entry takes effect or equals the catalogue,\n"
      "1 when a line is rejected or names an unknown key, 2 on usage errors\n"
      "and on files that cannot be read or are not regular files.\n",
      out);
}

using Status = msgreport::LineReader::Status;

void CannotRead(const char* what, const std::string& path, Status status) {
  std::fprintf(stderr, "msgcheck: cannot read %s %s%s\n", what,
               msgcheck::Quoted(path).c_str(),
               status == Status::kNotAFile ? ": not a regular file" : "");
}

struct Arguments {
  bool quiet = false;
  std::vector<std::string> files;
};

// Returns an exit status when the command line is handled already.
int ParseArguments(int argc, char** argv, Arguments& arguments) {
  bool options_done = false;
  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i];
    if (!options_done && argument[0] == '-' && argument[1] != '\0') {
      if (std::strcmp(argument, "--") == 0) {
        options_done = true;
      } else if (std::strcmp(argument, "-q") == 0 ||
                 std::strcmp(argument, "--quiet") == 0) {
        arguments.quiet = true;
      } else if (std::strcmp(argument, "--help") == 0) {
        PrintUsage(stdout);
        return kClean;
      } else if (std::strcmp(argument, "--version") == 0) {
        std::printf("msgcheck %s\n", MSGREPORT_VERSION);
        return kClean;
      } else {
        std::fprintf(stderr, "msgcheck: unknown option '%s'\n", argument);
        PrintUsage(stderr);
        return kTrouble;
      }
      continue;
    }
    arguments.files.emplace_back(argument);
  }
  if (arguments.files.size() < 2) {
    std::fprintf(stderr, "msgcheck: %s\n",
                 arguments.files.empty()
                     ? "no catalogue and no message file given"
                     : "no message file given");
    PrintUsage(stderr);
    return kTrouble;
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  Arguments arguments;
  int handled = ParseArguments(argc, argv, arguments);
  if (handled >= 0) return handled;

  msgcheck::DiagnosticSink print = [](const std::string& line) {
    std::printf("%s\n", line.c_str());
  };
  msgcheck::DiagnosticSink sink =
      arguments.quiet ? [](const std::string&) {} : print;

  const std::string& catalogue_path = arguments.files.front();
  msgcheck::MasterCatalogue catalogue;
  Status opened =
      msgcheck::LoadMasterCatalogue(catalogue_path, catalogue, sink);
  if (opened != Status::kOpen) {
    CannotRead("catalogue", catalogue_path, opened);
    return kTrouble;
  }

  int status = kClean;
  for (std::size_t i = 1; i < arguments.files.size(); ++i) {
    const std::string& path = arguments.files[i];
    msgcheck::FileSummary summary =
        msgcheck::CheckMessageFile(path, catalogue, sink);
    if (!summary.readable()) {
      CannotRead("message file", path, summary.status);
      status = kTrouble;
      continue;
    }
    std::printf("%s\n", msgcheck::SummaryLine(path, summary).c_str());
    if (!summary.clean() && status == kClean) status = kFindings;
  }
  return status;
}
