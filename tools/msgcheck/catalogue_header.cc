#include "tools/msgcheck/catalogue_header.h"

#include <algorithm>
#include <iterator>

namespace msgcheck {
namespace {

// The C++17 keywords and alternative tokens, sorted for binary search.
constexpr std::string_view kKeywords[] = {
    "alignas",      "alignof",
    "and",          "and_eq",
    "asm",          "auto",
    "bitand",       "bitor",
    "bool",         "break",
    "case",         "catch",
    "char",         "char16_t",
    "char32_t",     "class",
    "compl",        "const",
    "const_cast",   "constexpr",
    "continue",     "decltype",
    "default",      "delete",
    "do",           "double",
    "dynamic_cast", "else",
    "enum",         "explicit",
    "export",       "extern",
    "false",        "float",
    "for",          "friend",
    "goto",         "if",
    "inline",       "int",
    "long",         "mutable",
    "namespace",    "new",
    "noexcept",     "not",
    "not_eq",       "nullptr",
    "operator",     "or",
    "or_eq",        "private",
    "protected",    "public",
    "register",     "reinterpret_cast",
    "return",       "short",
    "signed",       "sizeof",
    "static",       "static_assert",
    "static_cast",  "struct",
    "switch",       "template",
    "this",         "thread_local",
    "throw",        "true",
    "try",          "typedef",
    "typeid",       "typename",
    "union",        "unsigned",
    "using",        "virtual",
    "void",         "volatile",
    "wchar_t",      "while",
    "xor",          "xor_eq",
};

constexpr bool IsSorted() {
  for (std::size_t i = 1; i < std::size(kKeywords); ++i) {
    if (!(kKeywords[i - 1] < kKeywords[i])) return false;
  }
  return true;
}
static_assert(IsSorted(), "binary search needs the keywords in order");

bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsIdentifier(std::string_view name) {
  return !name.empty() && IsLetter(name[0]) &&
         std::all_of(name.begin(), name.end(),
                     [](char c) { return IsLetter(c) || IsDigit(c); });
}

std::string Upper(std::string_view name) {
  std::string upper;
  for (char c : name) {
    upper += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  }
  return upper;
}

// `text` as a C++ string literal that means the same bytes whatever the
// compiler takes the source's character set to be.
std::string StringLiteral(std::string_view text) {
  std::string literal = "\"";
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\' || c == '?') {
      literal += '\\';
      literal += c;
    } else if (byte < 0x20 || byte >= 0x7f) {
      literal += '\\';
      literal += static_cast<char>('0' + (byte >> 6));
      literal += static_cast<char>('0' + ((byte >> 3) & 7));
      literal += static_cast<char>('0' + (byte & 7));
    } else {
      literal += c;
    }
  }
  return literal + "\"";
}

// One report macro: the compiler checks the arguments against the text in
// a branch that never runs, and the report gets them once.
std::string ReportMacro(const std::string& prefix, std::string_view name_space,
                        const char* severity, const char* report) {
  std::string ns(name_space);
  return "#define " + prefix + "_REPORT_" + severity +
         "(handler, ...) \\\n"
         "  (false ? ::" +
         ns + "::detail::CheckArguments(::" + ns +
         "::text::__VA_ARGS__) \\\n"
         "         : (handler)." +
         report + "(::" + ns + "::key::__VA_ARGS__))\n";
}

}  // namespace

std::string WhyNotCxxName(std::string_view key) {
  if (!IsIdentifier(key)) {
    return "is not a C++ name: use letters, digits and '_', and do not "
           "begin with a digit";
  }
  if (std::binary_search(std::begin(kKeywords), std::end(kKeywords), key)) {
    return "is a C++ keyword";
  }
  if (key.find("__") != std::string_view::npos ||
      (key[0] == '_' && key.size() > 1 && key[1] >= 'A' && key[1] <= 'Z')) {
    return "is a name C++ reserves to the compiler (it holds \"__\" or "
           "begins with '_' and a capital)";
  }
  return {};
}

bool IsNamespaceName(std::string_view name) {
  for (;;) {
    std::size_t end = name.find("::");
    if (!IsIdentifier(name.substr(0, end)) ||
        !WhyNotCxxName(name.substr(0, end)).empty()) {
      return false;
    }
    if (end == std::string_view::npos) return true;
    name.remove_prefix(end + 2);
  }
}

std::size_t CheckKeyNames(const std::string& path,
                          const MasterCatalogue& catalogue,
                          const DiagnosticSink& sink) {
  std::size_t bad = 0;
  for (std::size_t i = 0; i < catalogue.keys.size(); ++i) {
    std::string why = WhyNotCxxName(catalogue.keys[i]);
    if (why.empty()) continue;
    Say(sink, path, catalogue.key_lines[i], "error",
        "key " + Quoted(catalogue.keys[i]) + " " + why);
    ++bad;
  }
  return bad;
}

std::string CatalogueHeader(const MasterCatalogue& catalogue,
                            std::string_view name_space,
                            std::string_view source) {
  std::string ns(name_space);
  std::string prefix = Upper(ns);
  std::replace(prefix.begin(), prefix.end(), ':', '_');
  std::size_t doubled;
  while ((doubled = prefix.find("__")) != std::string::npos) {
    prefix.erase(doubled, 1);
  }
  std::string guard = "MSGREPORT_GENERATED_" + prefix + "_H_";

  std::string out =
      "// Generated by msgcheck from " + Escaped(source) +
      ": edit that file, not this one.\n"
      "//\n"
      "// " +
      ns + "::kPairs holds the program's " +
      std::to_string(catalogue.keys.size()) +
      " built-in messages, kPairCount of them,\n"
      "// for MessageHandler. " +
      ns +
      "::key::NAME is a message's key, and\n"
      "// " +
      prefix +
      "_REPORT_ERROR(handler, NAME, arguments...) reports it once the\n"
      "// compiler has checked the arguments against the built-in text as it\n"
      "// checks printf's; the same goes for _WARNING, _INFO and _DEBUG.\n\n"
      "#ifndef " +
      guard + "\n#define " + guard +
      "\n\n"
      "#include \"msgreport.h\"\n\n"
      "namespace " +
      ns + " {\n\nnamespace key {\n";
  for (const std::string& key : catalogue.keys) {
    out.append("inline constexpr char ").append(key).append("[] = \"");
    out.append(key).append("\";\n");
  }
  out += "}  // namespace key\n\nnamespace text {\n";
  for (const std::string& key : catalogue.keys) {
    out += "inline constexpr char " + key + "[] =\n    " +
           StringLiteral(catalogue.TextOf(key)) + ";\n";
  }
  out += "}  // namespace text\n\ninline constexpr const char* kPairs[] = {\n";
  for (const std::string& key : catalogue.keys) {
    out.append("    key::").append(key).append(", text::").append(key);
    out.append(",\n");
  }
  if (catalogue.keys.empty()) out += "    nullptr, nullptr,\n";
  out += "};\ninline constexpr int kPairCount = " +
         std::to_string(catalogue.keys.size()) +
         ";\n\n"
         "namespace detail {\n"
         "// Never called: it only lets the compiler see a report's text and\n"
         "// arguments together.\n"
         "#if defined(__MINGW32__) && !defined(__clang__)\n"
         "__attribute__((format(gnu_printf, 1, 2)))\n"
         "#elif defined(__GNUC__)\n"
         "__attribute__((format(printf, 1, 2)))\n"
         "#endif\n"
         "inline void CheckArguments(const char*, ...) {}\n"
         "}  // namespace detail\n\n"
         "}  // namespace " +
         ns + "\n\n";
  out += ReportMacro(prefix, ns, "ERROR", "ReportError2");
  out += ReportMacro(prefix, ns, "WARNING", "ReportWarning2");
  out += ReportMacro(prefix, ns, "INFO", "ReportInfo2");
  out += ReportMacro(prefix, ns, "DEBUG", "ReportDebug2");
  out += "\n#endif  // " + guard + "\n";
  return out;
}

}  // namespace msgcheck
