// Reporting levels: level names found anywhere in a text switch severities
// on; "none", applied last, switches all four off.

#include <cstring>

#include "msgreport.h"

namespace {

bool Names(const char* levels, const char* name) {
  return std::strstr(levels, name) != nullptr;
}

// The switches of one set (console or log), in severity order.
void ApplyLevels(const char* levels, bool& error, bool& warning, bool& info,
                 bool& debug) {
  if (levels == nullptr) return;
  if (Names(levels, "error")) error = true;
  if (Names(levels, "warning")) warning = true;
  if (Names(levels, "info")) info = true;
  if (Names(levels, "debug")) debug = true;
  if (Names(levels, "all")) error = warning = info = true;
  if (Names(levels, "none")) error = warning = info = debug = false;
}

}  // namespace

void MessageHandler::SetConsoleReporting(const char* levels) {
  ApplyLevels(levels, consoleError, consoleWarning, consoleInfo, consoleDebug);
}

void MessageHandler::SetLogReporting(const char* levels) {
  ApplyLevels(levels, logError, logWarning, logInfo, logDebug);
}
