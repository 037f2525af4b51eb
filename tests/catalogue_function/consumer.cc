// The default header name, namespace and macro prefix.
#include "messages.h"

void Report(MessageHandler& handler) {
  MESSAGES_REPORT_INFO(handler, COUNT, 3);
}
