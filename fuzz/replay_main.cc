// Runs a fuzz target without libFuzzer: on each seed file, then on mutants
// of the seeds made from a fixed random seed, so that every run tries the
// same inputs. Builds without a fuzzing compiler (the Windows cross build,
// the sanitizer build) still put the targets' own checks to work this way;
// a target reports a finding by aborting.
//
// Usage: TARGET [--mutations N] FILE_OR_DIRECTORY...

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size);

namespace {

constexpr std::size_t kLongestInput = 8192;
// Bytes that mean something to a message file, a format or a level text.
constexpr char kTellingBytes[] = "%\":/\n\r \t*.$-+#0123456789hlLjztdisucpnfx";

using Input = std::vector<std::uint8_t>;

bool ReadFile(const std::filesystem::path& path, Input& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in),
               std::istreambuf_iterator<char>());
  return true;
}

bool CollectSeeds(const char* argument, std::vector<Input>& seeds) {
  std::filesystem::path path(argument);
  std::error_code error;
  std::vector<std::filesystem::path> files;
  if (std::filesystem::is_directory(path, error)) {
    for (const auto& entry : std::filesystem::directory_iterator(path, error)) {
      if (entry.is_regular_file(error)) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());  // the same order every run
  } else {
    files.push_back(path);
  }
  for (const auto& file : files) {
    Input bytes;
    if (!ReadFile(file, bytes)) {
      std::fprintf(stderr, "replay: cannot read '%s'\n", file.string().c_str());
      return false;
    }
    seeds.push_back(std::move(bytes));
  }
  return true;
}

class Mutator {
 public:
  explicit Mutator(const std::vector<Input>& seeds) : seeds_(seeds) {}

  Input Mutant() {
    Input input = seeds_[Below(seeds_.size())];
    std::size_t edits = 1 + Below(4);
    for (std::size_t i = 0; i < edits; ++i) Edit(input);
    if (input.size() > kLongestInput) input.resize(kLongestInput);
    return input;
  }

 private:
  std::size_t Below(std::size_t bound) {
    return std::uniform_int_distribution<std::size_t>(0, bound - 1)(random_);
  }

  std::uint8_t AnyByte() {
    if (Below(2) == 0) {
      return static_cast<std::uint8_t>(
          kTellingBytes[Below(sizeof kTellingBytes - 1)]);
    }
    return static_cast<std::uint8_t>(Below(256));
  }

  void Edit(Input& input) {
    std::size_t at = Below(input.size() + 1);
    switch (Below(5)) {
      case 0:  // overwrite a byte
        if (at < input.size()) input[at] = AnyByte();
        break;
      case 1:  // insert a byte
        input.insert(input.begin() + static_cast<std::ptrdiff_t>(at),
                     AnyByte());
        break;
      case 2: {  // erase a run
        std::size_t length = std::min(Below(16) + 1, input.size() - at);
        input.erase(input.begin() + static_cast<std::ptrdiff_t>(at),
                    input.begin() + static_cast<std::ptrdiff_t>(at + length));
        break;
      }
      case 3: {  // repeat a run, which makes long lines and many fields
        std::size_t length = std::min(Below(64) + 1, input.size() - at);
        Input run(input.begin() + static_cast<std::ptrdiff_t>(at),
                  input.begin() + static_cast<std::ptrdiff_t>(at + length));
        std::size_t times = 1 + Below(8);
        for (std::size_t i = 0; i < times; ++i) {
          input.insert(input.begin() + static_cast<std::ptrdiff_t>(at),
                       run.begin(), run.end());
        }
        break;
      }
      default: {  // splice in a piece of another seed
        const Input& other = seeds_[Below(seeds_.size())];
        if (other.empty()) break;
        std::size_t from = Below(other.size());
        std::size_t length = std::min(Below(128) + 1, other.size() - from);
        input.insert(
            input.begin() + static_cast<std::ptrdiff_t>(at),
            other.begin() + static_cast<std::ptrdiff_t>(from),
            other.begin() + static_cast<std::ptrdiff_t>(from + length));
        break;
      }
    }
  }

  const std::vector<Input>& seeds_;
  std::mt19937_64 random_{20261208};
};

void Run(const Input& input) {
  LLVMFuzzerTestOneInput(input.empty() ? nullptr : input.data(), input.size());
}

}  // namespace

int main(int argc, char** argv) {
  unsigned long mutations = 0;
  std::vector<Input> seeds;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--mutations") == 0 && i + 1 < argc) {
      char* end = nullptr;
      mutations = std::strtoul(argv[++i], &end, 10);
      if (*end != '\0') {
        std::fprintf(stderr, "replay: bad count '%s'\n", argv[i]);
        return 2;
      }
    } else if (!CollectSeeds(argv[i], seeds)) {
      return 2;
    }
  }
  if (seeds.empty()) {
    std::fprintf(stderr,
                 "usage: %s [--mutations N] FILE_OR_DIRECTORY...\n"
                 "  runs the fuzz target on each seed, then on N mutants\n",
                 argv[0]);
    return 2;
  }
  for (const Input& seed : seeds) Run(seed);
  Mutator mutator(seeds);
  for (unsigned long i = 0; i < mutations; ++i) Run(mutator.Mutant());
  std::printf("%zu seeds and %lu mutants passed\n", seeds.size(), mutations);
  return 0;
}
