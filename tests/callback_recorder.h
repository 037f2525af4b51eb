// Plain-function callbacks that record what they receive, one per severity.

#ifndef MSGREPORT_TESTS_CALLBACK_RECORDER_H_
#define MSGREPORT_TESTS_CALLBACK_RECORDER_H_

#include <string>
#include <vector>

namespace msgreport_test {

struct Received {
  static std::vector<std::string> errors;
  static std::vector<std::string> warnings;
  static std::vector<std::string> infos;
  static std::vector<std::string> debugs;
  static void Clear();
};

void RecordError(char* message);
void RecordWarning(char* message);
void RecordInfo(char* message);
void RecordDebug(char* message);

// Gives every severity of a MessageHandler its recorder, none received yet,
// and switches `console` on if given. A template, so that this library of
// helpers needs no handler of its own.
template <typename Handler>
Handler& Recording(Handler& handler, const char* console = nullptr) {
  if (console != nullptr) handler.SetConsoleReporting(console);
  handler.RegisterErrorCallback(RecordError);
  handler.RegisterWarningCallback(RecordWarning);
  handler.RegisterInfoCallback(RecordInfo);
  handler.RegisterDebugCallback(RecordDebug);
  Received::Clear();
  return handler;
}

}  // namespace msgreport_test

#endif  // MSGREPORT_TESTS_CALLBACK_RECORDER_H_
