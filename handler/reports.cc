// The road of a report: severity switches, filter, look-up, composition into
// a message buffer on the stack, then routing to the severity's callback or
// to standard output.

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "handler/message_format.h"
#include "msgreport.h"

namespace {

constexpr std::size_t kMessageBufferSize = msgreport::kMessageCapacity;
constexpr char kUnregisteredMessage[] = "Unregistered message";

// Copies `chars` as plain text, cut to what the buffer holds.
void CopyCut(char* message, const char* chars) {
  std::size_t length = std::strlen(chars);
  if (length > kMessageBufferSize - 1) length = kMessageBufferSize - 1;
  std::memcpy(message, chars, length);
  message[length] = '\0';
}

void ComposeMessage(const MessageMap& catalogue, const char* key,
                    std::va_list args, char* message) {
  const char* text = key == nullptr ? nullptr : catalogue.FindMessage(key);
  if (text == nullptr) {
    std::memcpy(message, kUnregisteredMessage, sizeof kUnregisteredMessage);
    return;
  }
  // An empty text stands for the key itself. So does a text whose
  // formatting failed on an encoding error, which leaves the buffer
  // undefined: the key still says which message was meant.
  bool formatted =
      *text != '\0' && msgreport::FormatMessage(message, text, args);
  if (!formatted) CopyCut(message, key);
}

void Deliver(MessageCallback callback, char* message) {
  if (callback != nullptr) {
    callback(message);
  } else {
    std::printf("%s\n", message);
  }
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

void MessageHandler::Report(Route route, const char* key,
                            std::va_list args) const {
  if (inFilterArray(key)) return;
  // Each report, nested ones from inside a callback too, has its own buffer.
  char message[kMessageBufferSize];
  ComposeMessage(messageMap, key, args, message);
  (this->*route)(message);
}

void MessageHandler::ReportError2(const char* key, ...) {
  if (!consoleError && !logError)
    return;  // the common case: nothing to deliver
  std::va_list args;
  va_start(args, key);
  Report(&MessageHandler::RouteError, key, args);
  va_end(args);
}

void MessageHandler::ReportWarning2(const char* key, ...) {
  if (!consoleWarning && !logWarning)
    return;  // the common case: nothing to deliver
  std::va_list args;
  va_start(args, key);
  Report(&MessageHandler::RouteWarning, key, args);
  va_end(args);
}

void MessageHandler::ReportInfo2(const char* key, ...) {
  if (!consoleInfo && !logInfo) return;  // the common case: nothing to deliver
  std::va_list args;
  va_start(args, key);
  Report(&MessageHandler::RouteInfo, key, args);
  va_end(args);
}

void MessageHandler::ReportDebug2(const char* key, ...) {
  if (!consoleDebug && !logDebug)
    return;  // the common case: nothing to deliver
  std::va_list args;
  va_start(args, key);
  Report(&MessageHandler::RouteDebug, key, args);
  va_end(args);
}

void MessageHandler::RouteError(char* message) const {
  if (consoleError || logError) Deliver(GetErrorCallback(), message);
}

void MessageHandler::RouteWarning(char* message) const {
  if (consoleWarning || logWarning) Deliver(GetWarningCallback(), message);
}

void MessageHandler::RouteInfo(char* message) const {
  if (consoleInfo || logInfo) Deliver(GetInfoCallback(), message);
}

void MessageHandler::RouteDebug(char* message) const {
  if (consoleDebug || logDebug) Deliver(GetDebugCallback(), message);
}
