#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "callback_recorder.h"
#include "msgreport.h"
#include "msgreport_locale.h"
#include "test_support.h"
#if defined(_WIN32)
// After the helper's own declaration, which must agree with this one.
#include <windows.h>
#endif

namespace {

using msgreport_test::Received;

// Sets LC_ALL, LC_MESSAGES and LANG for one case and gives the process back
// its own. "" is an empty variable, which Windows cannot hold: it removes it.
class LocaleEnvironment {
 public:
  LocaleEnvironment(const char* lc_all, const char* lc_messages,
                    const char* lang) {
    const std::array<const char*, 3> values = {lc_all, lc_messages, lang};
    for (std::size_t i = 0; i < kNames.size(); ++i) {
      const char* old = std::getenv(kNames[i]);
      if (old != nullptr) saved_[i] = old;
      Set(kNames[i], values[i]);
    }
  }
  ~LocaleEnvironment() {
    for (std::size_t i = 0; i < kNames.size(); ++i) {
      Set(kNames[i], saved_[i] ? saved_[i]->c_str() : nullptr);
    }
  }
  LocaleEnvironment(const LocaleEnvironment&) = delete;
  LocaleEnvironment& operator=(const LocaleEnvironment&) = delete;

 private:
  static void Set(const char* name, const char* value) {  // null: unset
#if defined(_WIN32)
    _putenv_s(name, value != nullptr ? value : "");
#else
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
#endif
  }
  static constexpr std::array<const char*, 3> kNames = {"LC_ALL", "LC_MESSAGES",
                                                        "LANG"};
  std::array<std::optional<std::string>, 3> saved_;
};

// LC_ALL, LC_MESSAGES, LANG: the first set decides, "C" included.
TEST(LocaleFilesTest, TheFirstVariableSetDecides) {
  const std::array<const char*, 4> cases[] = {
    {"", "", "fr_CA.UTF-8", "fr_CA"},
    {"de_AT.UTF-8", "pt_BR", "fr_CA", "de_AT"},
    {"", "pt_BR.UTF-8", "fr_CA", "pt_BR"},
    {"C", "", "fr_CA.UTF-8", ""},
    {"", "", "../../etc/fr", ""},
#if !defined(_WIN32)  // where Windows asks the system
    {"", "", "", ""},
#endif
  };
  for (const auto& [lc_all, lc_messages, lang, locale] : cases) {
    LocaleEnvironment environment(lc_all, lc_messages, lang);
    EXPECT_EQ(msgreport::UserMessageLocale(), locale) << lc_all << lang;
  }
}

// A codeset is dropped unread, whatever it holds; all else is checked.
TEST(LocaleFilesTest, NamesAreNormalisedOrRefused) {
  const std::pair<const char*, const char*> cases[] = {
      {"FR_ca", "fr_CA"},
      {"fr-CA", "fr_CA"},
      {"de_AT.ISO-8859-15@euro", "de_AT"},
      {"sr-Latn-RS", "sr_RS"},
      {"es_419", "es_419"},
      {"ca-ES-valencia", "ca_ES"},
      {"fil_PH", "fil_PH"},
      {"en_US.UTF-8/../x", "en_US"},
      {"C", ""},
      {"C.UTF-8", ""},
      {"../fr", ""},
      {"fr/../x", ""},
      {"fr_CA/../x", ""},
      {"fr_../x", ""},
      {"fran_CA", ""},
      {"fr_CAN", ""}};
  for (const auto& [name, locale] : cases) {
    EXPECT_EQ(msgreport::NormalizedMessageLocale(name), locale) << name;
    EXPECT_EQ(msgreport::NormalizedMessageLocale(locale), locale) << locale;
  }
}

// The specific file wins, the general one fills its gaps, the built-in
// texts fill the rest; nothing outside the folder is ever read.
TEST(LocaleFilesTest, FilesAreReadFromTheGeneralToTheSpecific) {
  msgreport_test::TempDir dir;
  std::string folder = dir.path() + "/messages";
  std::filesystem::create_directories(folder + "/app.de.txt");
  dir.Write("messages/app.fr.txt",
            "GREETING : \"Bonjour %s\"\nFAREWELL : \"Au revoir %s\"\n");
  dir.Write("messages/app.fr_CA.txt", "GREETING : \"Allo %s\"\n");
  dir.Write("messages/app.pt_BR.txt", "FAREWELL : \"Tchau %s\"\n");
  dir.Write("evil.txt", "GREETING : \"outside %s\"\n");
  struct Case {
    const char* lang;
    const char* base_name;
    std::vector<std::string> read;
    const char* greeting;
    const char* farewell;
  };
  const Case cases[] = {
      {"fr_CA.UTF-8",
       "app",
       {"app.fr.txt", "app.fr_CA.txt"},
       "Allo x",
       "Au revoir x"},
      {"fr_FR.UTF-8", "app", {"app.fr.txt"}, "Bonjour x", "Au revoir x"},
      {"pt_BR", "app", {"app.pt_BR.txt"}, "Hello x", "Tchau x"},
      {"de_AT", "app", {}, "Hello x", "Goodbye x"},  // app.de.txt: a folder
      {"ja_JP", "app", {}, "Hello x", "Goodbye x"},
      {"../evil", "", {}, "Hello x", "Goodbye x"},
  };
  const char* pairs[] = {"GREETING", "Hello %s", "FAREWELL", "Goodbye %s"};
  for (const Case& c : cases) {
    LocaleEnvironment environment("", "", c.lang);
    MessageHandler handler(pairs, 2, nullptr, 0, nullptr);
    std::vector<std::string> expected;
    for (const std::string& name : c.read)
      expected.push_back(folder + "/" + name);
    EXPECT_EQ(
        msgreport::ReadMessageFilesForLocale(handler, folder, c.base_name),
        expected)
        << c.lang;
    msgreport_test::Recording(handler, "info");
    handler.ReportInfo2("GREETING", "x");
    handler.ReportInfo2("FAREWELL", "x");
    EXPECT_EQ(Received::infos,
              (std::vector<std::string>{c.greeting, c.farewell}))
        << c.lang;
  }

  // A locale given by the program wins over the user's, and is normalised.
  LocaleEnvironment environment("C", "", "");
  MessageHandler handler(pairs, 2, nullptr, 0, nullptr);
  EXPECT_EQ(msgreport::ReadMessageFilesForLocale(handler, folder + "/", "app",
                                                 "FR-ca"),
            (std::vector<std::string>{folder + "/app.fr.txt",
                                      folder + "/app.fr_CA.txt"}));
  EXPECT_EQ(msgreport::MessageFileForLocale("d\\", "", "fr"), "d\\fr.txt");
}

#if defined(_WIN32)
// Wine derives the user's locale from the LC_ALL it was started with, which
// the test's registration sets: once the variables are gone, the system
// must answer with the same locale.
TEST(LocaleFilesTest, WithoutTheVariablesWindowsAnswers) {
  const char* lc_all = std::getenv("LC_ALL");
  bool wine = GetProcAddress(GetModuleHandleA("ntdll.dll"),
                             "wine_get_version") != nullptr;
  std::string expected =
      msgreport::NormalizedMessageLocale(lc_all != nullptr ? lc_all : "");
  if (!wine || expected.empty()) GTEST_SKIP() << "needs Wine and LC_ALL";
  LocaleEnvironment environment("", "", "");
  EXPECT_EQ(msgreport::UserMessageLocale(), expected);
}
#endif

}  // namespace
