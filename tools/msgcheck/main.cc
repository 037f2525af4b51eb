// msgcheck: the translator's and the build's tool for a program's messages.
// It reads a program's catalogue and its message files with the library's
// own reader, and checks, counts, starts, merges or turns them into C++.
//
// The command line is a table: each command names its options and how many
// files it takes, and one parser serves them all.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/msgcheck/commands.h"

namespace {

using msgcheck::Invocation;
using msgcheck::kTrouble;

struct Option {
  const char* short_name;  // may be null
  const char* long_name;
  const char* value_name;  // null for a flag
};

struct Command {
  const char* name;
  const char* synopsis;
  const char* help;
  std::vector<Option> options;
  std::size_t least_files;
  std::size_t most_files;  // 0: any number
  int (*run)(const Invocation&);
};

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = {
      {"check",
       "[-q] CATALOGUE MESSAGEFILE...",
       "Checks each MESSAGEFILE line by line, the way a program's set-up\n"
       "reads it, against CATALOGUE, and reports each line that does not\n"
       "take effect as FILE:LINE: severity: message, then a summary per\n"
       "file. It warns at each entry below a \"// review:\" mark.\n"
       "\n"
       "  -q, --quiet   print the summaries only\n"
       "\n"
       "Exit status: 0 when every entry takes effect or equals the\n"
       "catalogue, 1 when a line is rejected, names an unknown key, or the\n"
       "catalogue has errors, 2 when a file cannot be read or the catalogue\n"
       "is a message file.\n",
       {{"-q", "--quiet", nullptr}},
       2,
       0,
       msgcheck::RunCheck},
      {"coverage",
       "[--list] [--strict] CATALOGUE MESSAGEFILE...",
       "Counts, for each MESSAGEFILE, the catalogue's keys that it\n"
       "translates: those whose text, once the file is read as the program\n"
       "reads it, is not the built-in one. A key is to review when a\n"
       "\"// review:\" mark stands above the entry that gives its text, and\n"
       "untranslated when the file has no entry for it, repeats the\n"
       "built-in text, or has only rejected entries. A key that no\n"
       "message-file line can hold with its built-in text (one holding\n"
       "\"//\") is counted apart.\n"
       "\n"
       "  --list     name each key to review or untranslated, and each that\n"
       "             cannot be given, as FILE: note: ...\n"
       "  --strict   exit with 1 when a key is to review or untranslated\n"
       "\n"
       "Exit status: 0, or 1 for --strict with keys to review or\n"
       "untranslated or for a catalogue with errors, 2 when a file cannot\n"
       "be read or the catalogue is a message file.\n",
       {{nullptr, "--list", nullptr}, {nullptr, "--strict", nullptr}},
       2,
       0,
       msgcheck::RunCoverage},
      {"template",
       "[-o OUTPUT] [--language LL] CATALOGUE",
       "Writes a new message file to translate: a header with the rules,\n"
       "then for each key the catalogue's comment lines directly above it\n"
       "as \"// developers:\" notes, a \"// built-in:\" comment recording its\n"
       "text and an entry that holds the same text, so the file changes\n"
       "nothing until translated.\n"
       "\n"
       "  -o, --output OUTPUT   write to OUTPUT instead of standard output\n"
       "  --language LL         a file in language LL (\"pl\", \"pt_BR\"):\n"
       "                        @language names it, and each plural message\n"
       "                        has an entry per plural form LL uses\n",
       {{"-o", "--output", "OUTPUT"}, {nullptr, "--language", "LL"}},
       1,
       1,
       msgcheck::RunTemplate},
      {"merge",
       "[-o OUTPUT] CATALOGUE MESSAGEFILE",
       "Brings MESSAGEFILE up to date after CATALOGUE changed, in place or\n"
       "into OUTPUT. Every translated entry and every comment stays. New\n"
       "keys come in at the end as template lines; entries of keys the\n"
       "catalogue lost become \"// obsolete:\" comments; where the recorded\n"
       "built-in text changed, a \"// review:\" mark naming the old text\n"
       "and a record of the new one take the old record's place (delete\n"
       "the mark once the translation is reviewed); \"// developers:\"\n"
       "notes follow the catalogue's.\n"
       "\n"
       "  -o, --output OUTPUT   write to OUTPUT (- for standard output)\n",
       {{"-o", "--output", "OUTPUT"}},
       2,
       2,
       msgcheck::RunMerge},
      {"header",
       "[--namespace NAME] [--prefix PREFIX] CATALOGUE OUTPUT",
       "Writes the C++ header for CATALOGUE: the table of built-in\n"
       "messages for MessageHandler, a name per key, and report macros\n"
       "through which the compiler checks each report's arguments against\n"
       "the key's text. Every key must be a C++ name; a line that cannot\n"
       "be read is an error.\n"
       "\n"
       "  --namespace NAME   the header's namespace (default: messages)\n"
       "  --prefix PREFIX    what its macros begin with (default: NAME in\n"
       "                     capitals, '::' as '_')\n"
       "  OUTPUT - is standard output\n",
       {{nullptr, "--namespace", "NAME"}, {nullptr, "--prefix", "PREFIX"}},
       2,
       2,
       msgcheck::RunHeader},
  };
  return commands;
}

void PrintOverview(std::FILE* out) {
  std::fputs(
      "usage: msgcheck COMMAND [OPTION...] FILE...\n"
      "       msgcheck [-q] CATALOGUE MESSAGEFILE...   (the same as check)\n"
      "\n"
      "CATALOGUE lists a program's built-in messages, one KEY : \"text\" line\n"
      "each; a line beginning with // is a comment. MESSAGEFILE replaces "
      "texts\n"
      "of its keys, as the program reads it.\n"
      "\n"
      "Commands:\n",
      out);
  for (const Command& command : Commands()) {
    std::fprintf(out, "  %-9s %s\n", command.name, command.synopsis);
  }
  std::fputs(
      "\n"
      "\"msgcheck COMMAND --help\" tells more of a command.\n"
      "  --help      show this help\n"
      "  --version   show the version\n",
      out);
}

void PrintUsage(const Command& command, std::FILE* out) {
  std::fprintf(out, "usage: msgcheck %s %s\n\n%s", command.name,
               command.synopsis, command.help);
}

int Refuse(const Command& command, const std::string& why) {
  std::fprintf(stderr, "msgcheck %s: %s\n", command.name, why.c_str());
  PrintUsage(command, stderr);
  return kTrouble;
}

const Option* FindOption(const Command& command, const char* argument) {
  for (const Option& option : command.options) {
    if ((option.short_name && std::strcmp(argument, option.short_name) == 0) ||
        std::strcmp(argument, option.long_name) == 0) {
      return &option;
    }
  }
  return nullptr;
}

// Reads the arguments after the command's name, and runs it.
int Run(const Command& command, int argc, char** argv, int first) {
  Invocation invocation;
  bool options_done = false;
  for (int i = first; i < argc; ++i) {
    const char* argument = argv[i];
    if (options_done || argument[0] != '-' || argument[1] == '\0') {
      invocation.files.emplace_back(argument);
    } else if (std::strcmp(argument, "--") == 0) {
      options_done = true;
    } else if (std::strcmp(argument, "--help") == 0) {
      PrintUsage(command, stdout);
      return msgcheck::kClean;
    } else if (const Option* option = FindOption(command, argument)) {
      std::string value;
      if (option->value_name != nullptr) {
        if (++i == argc) {
          return Refuse(command,
                        std::string(argument) + " needs " + option->value_name);
        }
        value = argv[i];
      }
      invocation.options[option->long_name] = value;
    } else {
      return Refuse(command, "unknown option '" + std::string(argument) + "'");
    }
  }
  std::size_t count = invocation.files.size();
  if (count < command.least_files) return Refuse(command, "too few files");
  if (command.most_files != 0 && count > command.most_files) {
    return Refuse(command, "too many files");
  }
  return command.run(invocation);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    PrintOverview(stderr);
    return kTrouble;
  }
  for (const Command& command : Commands()) {
    if (std::strcmp(argv[1], command.name) == 0) {
      return Run(command, argc, argv, 2);
    }
  }
  if (std::strcmp(argv[1], "--help") == 0) {
    PrintOverview(stdout);
    return msgcheck::kClean;
  }
  if (std::strcmp(argv[1], "--version") == 0) {
    std::printf("msgcheck %s\n", MSGREPORT_VERSION);
    return msgcheck::kClean;
  }
  // Without a command name, the files are checked, as they always were.
  return Run(Commands().front(), argc, argv, 1);
}
