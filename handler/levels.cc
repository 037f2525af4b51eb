// Reporting levels: level names found anywhere in a text switch severities
// on; "none", applied last, switches them off again, debug only when the
// same text does not name "debug".

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
  bool names_debug = Names(levels, "debug");
  if (names_debug) debug = true;
  if (Names(levels, "all")) error = warning = info = true;
  // "none debug" reads as "debug only", and callers ask for exactly that;
  // "none" alone must still be able to silence a debug switch turned on by
  // an earlier call.
  if (Names(levels, "none")) {
    error = warning = info = false;
    debug = names_debug;
  }
}

}  // namespace

void MessageHandler::SetConsoleReporting(const char* levels) {
  ApplyLevels(levels, consoleError, consoleWarning, consoleInfo, consoleDebug);
}

void MessageHandler::SetLogReporting(const char* levels) {
  ApplyLevels(levels, logError, logWarning, logInfo, logDebug);
}
