// The road of a report: severity switches, filter, look-up, the form a
// plural message takes for its count, composition into a message buffer on
// the stack, then routing to the severity's callback or
// to standard output.

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "catalogue/internals.h"
#include "catalogue/key_hash.h"
#include "catalogue/message_limits.h"
#include "catalogue/message_table.h"
#include "handler/message_format.h"
#include "handler/plural_choice.h"
#include "msgreport.h"

namespace {

using msgreport::kMessageCapacity;
using msgreport::kUnregisteredMessage;
using msgreport::MessageTable;

// Copies `chars` as plain text, cut to what the buffer holds.
void CopyCut(char* message, const char* chars) {
  std::size_t length = std::strlen(chars);
  if (length > kMessageCapacity - 1) length = kMessageCapacity - 1;
  std::memcpy(message, chars, length);
  message[length] = '\0';
}

void ComposeMessage(const MessageTable::Found& found, const char* key,
                    std::va_list args, char* message) {
  if (found.text == nullptr) {
    std::memcpy(message, kUnregisteredMessage, sizeof kUnregisteredMessage);
    return;
  }
  const char* text = found.plural == nullptr
                         ? found.text
                         : msgreport::ChoosePluralText(*found.plural, args);
  // An empty text stands for the key itself. So does a text whose
  // formatting failed on an encoding error, which leaves the buffer
  // undefined: the key still says which message was meant.
  bool formatted = *text != '\0' &&
                   msgreport::FormatMessage(message, text, args,
                                            MessageTable::BuiltInTextBehind);
  if (!formatted) CopyCut(message, key);
}

void Deliver(MessageCallback callback, char* message) {
  if (callback != nullptr) {
    callback(message);
  } else {
    std::printf("%s\n", message);
  }
}

// The road of a report whose severity is switched on: filter, look-up and
// composition into a buffer of its own, then delivery. The key is hashed
// once for both searches. Nested reports, from inside a callback, each
// have their own buffer too.
void Report(const MessageTable& catalogue, MessageCallback callback,
            const char* key, std::va_list args) {
  char message[kMessageCapacity];
  if (key == nullptr) {
    std::memcpy(message, kUnregisteredMessage, sizeof kUnregisteredMessage);
  } else {
    msgreport::HashedKey hashed(key);
    if (catalogue.filter_index().Contains(hashed)) return;
    ComposeMessage(catalogue.FindForReport(hashed), key, args, message);
  }
  Deliver(callback, message);
}

}  // namespace

void MessageHandler::RegisterErrorCallback(MessageCallback callback) {
  errorCallback = callback;
}

void MessageHandler::RegisterWarningCallback(MessageCallback callback) {
  warningCallback = callback;
}

void MessageHandler::RegisterInfoCallback(MessageCallback callback) {
  infoCallback = callback;
}

void MessageHandler::RegisterDebugCallback(MessageCallback callback) {
  debugCallback = callback;
}

// Each severity's switches are tested first: a switched-off report, the
// common case, then costs no more than the call.

void MessageHandler::ReportError2(const char* key, ...) {
  if (!consoleError && !logError) return;
  std::va_list args;
  va_start(args, key);
  Report(msgreport::Internals::Table(messageMap), errorCallback, key, args);
  va_end(args);
}

void MessageHandler::ReportWarning2(const char* key, ...) {
  if (!consoleWarning && !logWarning) return;
  std::va_list args;
  va_start(args, key);
  Report(msgreport::Internals::Table(messageMap), warningCallback, key, args);
  va_end(args);
}

void MessageHandler::ReportInfo2(const char* key, ...) {
  if (!consoleInfo && !logInfo) return;
  std::va_list args;
  va_start(args, key);
  Report(msgreport::Internals::Table(messageMap), infoCallback, key, args);
  va_end(args);
}

void MessageHandler::ReportDebug2(const char* key, ...) {
  if (!consoleDebug && !logDebug) return;
  std::va_list args;
  va_start(args, key);
  Report(msgreport::Internals::Table(messageMap), debugCallback, key, args);
  va_end(args);
}
