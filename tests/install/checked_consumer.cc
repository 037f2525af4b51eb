// A program whose built-in texts come from a catalogue file, through the
// header that msgreport_add_catalogue makes, with checked reports.
#include <cstdio>
#include <cstring>

#include "greetings.h"

namespace {
char received[1024];
void Keep(char* message) { std::strcpy(received, message); }
}  // namespace

int main() {
  MessageHandler handler(greetings::kPairs, greetings::kPairCount, nullptr, 0,
                         nullptr);
  handler.SetConsoleReporting("info");
  handler.RegisterInfoCallback(Keep);
  GREETINGS_REPORT_INFO(handler, GREETING, "a generated table", 8);
  if (std::strcmp(received, "Hello, a generated table (8)") != 0) {
    std::fprintf(stderr, "unexpected message: '%s'\n", received);
    return 1;
  }
  std::printf("%s\n", received);
  return 0;
}
