// Reporting levels: level names found anywhere in a text switch severities
// on; "none", applied last, switches all four off.

#include <cstring>

#include "msgreport.h"

namespace {

struct SwitchSet {
  bool& error;
  bool& warning;
  bool& info;
  bool& debug;
};

bool Names(const char* levels, const char* name) {
  return std::strstr(levels, name) != nullptr;
}

void ApplyLevels(const char* levels, SwitchSet switches) {
  if (levels == nullptr) return;
  if (Names(levels, "error")) switches.error = true;
  if (Names(levels, "warning")) switches.warning = true;
  if (Names(levels, "info")) switches.info = true;
  if (Names(levels, "debug")) switches.debug = true;
  if (Names(levels, "all")) {
    switches.error = switches.warning = switches.info = true;
  }
  if (Names(levels, "none")) {
    switches.error = switches.warning = switches.info = switches.debug = false;
  }
}

}  // namespace

void MessageHandler::SetConsoleReporting(const char* levels) {
  ApplyLevels(levels,
              {consoleError, consoleWarning, consoleInfo, consoleDebug});
}

void MessageHandler::SetLogReporting(const char* levels) {
  ApplyLevels(levels, {logError, logWarning, logInfo, logDebug});
}
