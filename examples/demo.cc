// A small file-sync program that reports through msgreport: built-in
// English texts, the message files for the user's locale (its French one for
// fr_FR.UTF-8, say), levels from the command line and an error callback that
// writes to stderr.
//
// The built-in texts live in messages/catalogue.txt alone. The build makes
// filesync.h from it, and the compiler checks every FILESYNC_REPORT_...
// call's arguments against its key's text.
//
//   demo [--console=LEVELS] [--log=LEVELS] [--messages=FILE]
//
// Without --messages it reads messages/LANGUAGE.txt, then
// messages/LANGUAGE_TERRITORY.txt, for the locale that LC_ALL, LC_MESSAGES
// or LANG name (on Windows, without them, the user's locale).

#include <cstdio>
#include <cstring>

#include "filesync.h"
#include "msgreport.h"
#include "msgreport_locale.h"

namespace {

// Too chatty even for debugging. The handler keeps the pointer, which the
// generated header makes live as long as the program.
const char* const kFilteredKeys[] = {filesync::key::HEARTBEAT};

void ErrorToStderr(char* message) {
  std::fprintf(stderr, "demo: error: %s\n", message);
}

const char* OptionValue(const char* argument, const char* option) {
  std::size_t length = std::strlen(option);
  return std::strncmp(argument, option, length) == 0 ? argument + length
                                                     : nullptr;
}

void Usage(std::FILE* out) {
  std::fprintf(out,
               "usage: demo [--console=LEVELS] [--log=LEVELS] "
               "[--messages=FILE]\n"
               "LEVELS names any of error, warning, info, debug, all, none\n"
               "without --messages, the files for the user's locale in\n"
               "  %s\n",
               MSGREPORT_DEMO_MESSAGE_DIR);
}

}  // namespace

int main(int argc, char** argv) {
  const char* console = "all";
  const char* log = "";
  const char* messages = nullptr;
  for (int i = 1; i < argc; ++i) {
    const char* value = nullptr;
    if ((value = OptionValue(argv[i], "--console=")) != nullptr) {
      console = value;
    } else if ((value = OptionValue(argv[i], "--log=")) != nullptr) {
      log = value;
    } else if ((value = OptionValue(argv[i], "--messages=")) != nullptr) {
      messages = value;
    } else if (std::strcmp(argv[i], "--help") == 0) {
      Usage(stdout);
      return 0;
    } else {
      std::fprintf(stderr, "demo: unknown argument '%s'\n", argv[i]);
      Usage(stderr);
      return 2;
    }
  }

  // Line by line, so that stdout and the stderr callback interleave in the
  // order of the reports even through a pipe.
  std::setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);

  MessageHandler handler(filesync::kPairs, filesync::kPairCount, kFilteredKeys,
                         1, messages);
  if (messages == nullptr) {
    msgreport::ReadMessageFilesForLocale(handler, MSGREPORT_DEMO_MESSAGE_DIR,
                                         "");
  }
  handler.SetConsoleReporting(console);
  handler.SetLogReporting(log);
  handler.RegisterErrorCallback(ErrorToStderr);

  FILESYNC_REPORT_INFO(handler, CONFIG_LOADED, "/etc/filesync.conf");
  FILESYNC_REPORT_WARNING(handler, CONFIG_BAD_VALUE, 12, "/etc/filesync.conf",
                          "retries");
  FILESYNC_REPORT_INFO(handler, SYNC_STARTED, 42, "backup.example.net");
  FILESYNC_REPORT_DEBUG(handler, CACHE_HIT, "photos/2026/01.jpg");
  FILESYNC_REPORT_DEBUG(handler, HEARTBEAT);  // filtered: never shown
  FILESYNC_REPORT_WARNING(handler, NET_TIMEOUT, "backup.example.net", 30);
  FILESYNC_REPORT_INFO(handler, NET_RETRY, "backup.example.net", 2, 5);
  FILESYNC_REPORT_ERROR(handler, FILE_NOT_FOUND, "photos/2026/02.jpg");
  FILESYNC_REPORT_ERROR(handler, DISK_FULL, "/mnt/backup");
  // A key from elsewhere, a plug-in say, that the table lacks: only an
  // unchecked report can name it.
  handler.ReportError2("NO_SUCH_MESSAGE");
  FILESYNC_REPORT_INFO(handler, SYNC_DONE, 40, 1250);
  // A plural message: its form follows the count, in each language.
  FILESYNC_REPORT_INFO(handler, SYNC_DONE, 1, 35);
  return 0;
}
