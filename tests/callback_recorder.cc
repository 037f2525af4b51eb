#include "callback_recorder.h"

namespace msgreport_test {

std::vector<std::string> Received::errors;
std::vector<std::string> Received::warnings;
std::vector<std::string> Received::infos;
std::vector<std::string> Received::debugs;

void Received::Clear() {
  errors.clear();
  warnings.clear();
  infos.clear();
  debugs.clear();
}

void RecordError(char* message) { Received::errors.emplace_back(message); }
void RecordWarning(char* message) { Received::warnings.emplace_back(message); }
void RecordInfo(char* message) { Received::infos.emplace_back(message); }
void RecordDebug(char* message) { Received::debugs.emplace_back(message); }

}  // namespace msgreport_test
