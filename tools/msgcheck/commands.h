// What each msgcheck command does once its command line is read.

#ifndef MSGREPORT_TOOLS_MSGCHECK_COMMANDS_H_
#define MSGREPORT_TOOLS_MSGCHECK_COMMANDS_H_

#include <map>
#include <string>
#include <vector>

namespace msgcheck {

constexpr int kClean = 0;
constexpr int kFindings = 1;
constexpr int kTrouble = 2;

struct Invocation {
  // By long name; a flag's value is empty.
  std::map<std::string, std::string> options;
  // The catalogue first.
  std::vector<std::string> files;

  bool Has(const char* option) const { return options.count(option) != 0; }
  std::string Value(const char* option, const char* otherwise) const {
    auto found = options.find(option);
    return found == options.end() ? otherwise : found->second;
  }
};

// Each returns the exit status.
int RunCheck(const Invocation& invocation);
int RunCoverage(const Invocation& invocation);
int RunTemplate(const Invocation& invocation);
int RunMerge(const Invocation& invocation);
int RunHeader(const Invocation& invocation);

}  // namespace msgcheck

#endif  // MSGREPORT_TOOLS_MSGCHECK_COMMANDS_H_
