// A small file-sync program that reports through msgreport: built-in
// English texts, a French message file, levels from the command line and an
// error callback that writes to stderr.
//
//   demo [--console=LEVELS] [--log=LEVELS] [--messages=FILE]

#include <cstdio>
#include <cstring>

#include "msgreport.h"

namespace {

// Keys live for the whole program, as the handler requires.
const char* kBuiltInMessages[] = {
    "FILE_NOT_FOUND",   "Cannot open %s: no such file",
    "FILE_READ_FAILED", "Read error in %s after %d bytes",
    "DISK_FULL",        "Disk full while writing %s",
    "NET_UNREACHABLE",  "Host %s is unreachable",
    "NET_TIMEOUT",      "No answer from %s after %d seconds",
    "NET_RETRY",        "Retrying %s (attempt %d of %d)",
    "CONFIG_MISSING",   "No configuration file; using defaults",
    "CONFIG_BAD_VALUE", "Line %d of %s: bad value for '%s'",
    "CONFIG_LOADED",    "Configuration loaded from %s",
    "SYNC_STARTED",     "Synchronising %d files to %s",
    "SYNC_DONE",        "Synchronised %d files in %d ms",
    "CACHE_HIT",        "Cache hit for %s",
    "HEARTBEAT",        "Still alive",
};
constexpr int kBuiltInCount =
    static_cast<int>(sizeof kBuiltInMessages / sizeof kBuiltInMessages[0] / 2);

// Too chatty even for debugging.
const char* kFilteredKeys[] = {"HEARTBEAT"};

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
               "LEVELS names any of error, warning, info, debug, all, none\n");
}

}  // namespace

int main(int argc, char** argv) {
  const char* console = "all";
  const char* log = "";
  const char* messages = MSGREPORT_DEMO_MESSAGES;
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

  MessageHandler handler(kBuiltInMessages, kBuiltInCount, kFilteredKeys, 1,
                         messages);
  handler.SetConsoleReporting(console);
  handler.SetLogReporting(log);
  handler.RegisterErrorCallback(ErrorToStderr);

  handler.ReportInfo2("CONFIG_LOADED", "/etc/filesync.conf");
  handler.ReportWarning2("CONFIG_BAD_VALUE", 12, "/etc/filesync.conf",
                         "retries");
  handler.ReportInfo2("SYNC_STARTED", 42, "backup.example.net");
  handler.ReportDebug2("CACHE_HIT", "photos/2026/01.jpg");
  handler.ReportDebug2("HEARTBEAT");  // filtered: never shown
  handler.ReportWarning2("NET_TIMEOUT", "backup.example.net", 30);
  handler.ReportInfo2("NET_RETRY", "backup.example.net", 2, 5);
  handler.ReportError2("FILE_NOT_FOUND", "photos/2026/02.jpg");
  handler.ReportError2("DISK_FULL", "/mnt/backup");
  handler.ReportError2("NO_SUCH_MESSAGE");  // not in the table
  handler.ReportInfo2("SYNC_DONE", 40, 1250);
  return 0;
}
