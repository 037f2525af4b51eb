// A program built against the installed library, as an application would.
#include <cstdio>
#include <cstring>

#include "msgreport.h"
#include "msgreport_locale.h"

namespace {
char received[1024];
void Keep(char* message) { std::strcpy(received, message); }
}  // namespace

int main() {
  const char* pairs[] = {"GREETING", "Hello, %s (%d)"};
  MessageHandler handler(pairs, 1, nullptr, 0, nullptr);
  handler.SetConsoleReporting("info");
  handler.RegisterInfoCallback(Keep);
  handler.ReportInfo2("GREETING", "installed library", 7);
  if (std::strcmp(received, "Hello, installed library (7)") != 0) {
    std::fprintf(stderr, "unexpected message: '%s'\n", received);
    return 1;
  }
  // The locale helper is installed too, and finds no file in no folder.
  if (!msgreport::ReadMessageFilesForLocale(handler, "no-such-folder", "app")
           .empty()) {
    std::fprintf(stderr, "read message files that are not there\n");
    return 1;
  }
  std::printf("%s\n", received);
  return 0;
}
