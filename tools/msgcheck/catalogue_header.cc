#include "tools/msgcheck/catalogue_header.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <map>
#include <numeric>
#include <vector>

#include "tools/msgcheck/plural_forms.h"
#include "tools/msgcheck/reserved_names.h"

namespace msgcheck {
namespace {

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

// One report macro: the arguments are checked against the key's text when
// the call compiles, and passed on once.
std::string ReportMacro(const std::string& prefix, const std::string& ns,
                        const char* severity, const char* kind) {
  return "#define " + prefix + "_REPORT_" + severity +
         "(handler, ...)                       \\\n"
         "  ::msgreport::checked::Report<::msgreport::checked::Severity::" +
         kind + ">( \\\n      (handler), ::" + ns + "::message::__VA_ARGS__)\n";
}

void Append(std::string& out, std::initializer_list<std::string_view> parts) {
  for (std::string_view part : parts) out.append(part);
}

// A guard that no other namespace maps to: '_' becomes "_1" and "::" "_2".
std::string IncludeGuard(std::string_view name_space) {
  std::string guard = "MSGREPORT_CATALOGUE_";
  for (std::size_t i = 0; i < name_space.size(); ++i) {
    if (name_space[i] == '_') {
      guard += "_1";
    } else if (name_space[i] == ':') {
      guard += "_2";
      ++i;
    } else {
      guard += name_space[i];
    }
  }
  return guard;
}

// FNV-1a, to tell this header from another of the same namespace.
std::uint32_t Fingerprint(std::string_view text) {
  return std::accumulate(text.begin(), text.end(), std::uint32_t{2166136261u},
                         [](std::uint32_t hash, char c) {
                           return (hash ^ static_cast<unsigned char>(c)) *
                                  16777619u;
                         });
}

// Stops the compiler with `message` when a macro `name` is defined where
// the header is included.
std::string MacroCheck(const std::string& name, const std::string& message) {
  return "#ifdef " + name + "\n#error " +
         StringLiteral("msgreport: " + message) + "\n#endif\n";
}

}  // namespace

std::string WhyNotCxxName(std::string_view key) {
  if (!IsIdentifier(key)) {
    return "is not a C++ name: use letters, digits and '_', and do not "
           "begin with a digit";
  }
  if (std::string_view why = WhyReserved(key); !why.empty()) {
    return std::string(why);
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
    if (!WhyNotCxxName(name.substr(0, end)).empty()) return false;
    if (end == std::string_view::npos) return true;
    name.remove_prefix(end + 2);
  }
}

std::string DefaultMacroPrefix(std::string_view name_space) {
  std::string prefix = Upper(name_space);
  std::size_t colons;
  while ((colons = prefix.find("::")) != std::string::npos) {
    prefix.replace(colons, 2, "_");
  }
  return prefix;
}

std::size_t CheckKeyNames(const std::string& path,
                          const MasterCatalogue& catalogue,
                          const DiagnosticSink& sink) {
  std::size_t bad = 0;
  for (std::size_t i = 0; i < catalogue.keys.size(); ++i) {
    // A plural form, count or language is not a message of its own.
    if (PartsOf(catalogue, catalogue.keys[i]).role != KeyRole::kMessage) {
      continue;
    }
    std::string why = WhyNotCxxName(catalogue.keys[i]);
    if (why.empty()) continue;
    Say(sink, path, catalogue.key_lines[i], "error",
        "key " + Quoted(catalogue.keys[i]) + " " + why);
    ++bad;
  }
  return bad;
}

std::string CatalogueHeader(const MasterCatalogue& catalogue,
                            const HeaderNames& names, std::string_view source) {
  // The messages, and apart from them each plural message's further forms,
  // which its report checks too: form::KEY::one and so on.
  std::vector<std::string> messages;
  std::map<std::string, std::vector<std::string>> forms;
  for (const std::string& key : catalogue.keys) {
    KeyParts parts = PartsOf(catalogue, key);
    if (parts.role == KeyRole::kMessage) messages.push_back(key);
    if (parts.role == KeyRole::kForm) {
      forms[std::string(parts.base)].push_back(
          msgreport::PluralCategoryName(parts.category));
    }
  }
  const std::string& ns = names.name_space;
  const std::string& prefix = names.macro_prefix;
  std::string from = std::string(source);

  std::string body =
      "// " + prefix +
      "_REPORT_ERROR(handler, NAME, arguments...) and its\n"
      "// _WARNING, _INFO and _DEBUG kin report a message once the compiler\n"
      "// has checked the arguments against the key's built-in text; a call\n"
      "// that does not fit does not compile. " +
      ns + "::kPairs holds the\n// " + std::to_string(catalogue.keys.size()) +
      " built-in key/text pairs, kPairCount of them, for MessageHandler,\n// "
      "and " +
      ns + "::key::NAME is a message's key.\n\n";
  body += "#include \"msgreport_checked.h\"\n\n";
  body +=
      MacroCheck(prefix + "_REPORT_ERROR",
                 prefix +
                     "_REPORT_ERROR is defined already: another "
                     "catalogue header has the macro prefix " +
                     prefix +
                     "; give one of them another (PREFIX of "
                     "msgreport_add_catalogue, --prefix of msgcheck header)");
  // The names the header declares in its namespace, beside the keys.
  std::vector<std::string> declared = {"key", "text", "message", "kPairs",
                                       "kPairCount"};
  if (!forms.empty()) declared.emplace_back("form");
  for (const auto& [base, categories] : forms) {
    for (const std::string& category : categories) {
      if (std::find(declared.begin(), declared.end(), category) ==
          declared.end()) {
        declared.push_back(category);
      }
    }
  }
  for (const std::string& name : declared) {
    body += MacroCheck(name, std::string(name) +
                                 " is defined as a macro "
                                 "here, and the header uses "
                                 "that name");
  }
  for (std::string_view rest = ns;;) {
    std::size_t end = rest.find("::");
    std::string name(rest.substr(0, end));
    body += MacroCheck(
        name, "namespace name " + name + " is defined as a macro here");
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 2);
  }
  for (const std::string& key : messages) {
    std::string message = "key ";
    Append(message,
           {key, " of ", from, " is defined as a macro here; rename the key"});
    body += MacroCheck(key, message);
  }
  body += "\nnamespace " + ns + " {\n\nnamespace key {\n";
  for (const std::string& key : messages) {
    Append(body, {"inline constexpr char ", key, "[] = \"", key, "\";\n"});
  }
  body += "}  // namespace key\n\nnamespace text {\n";
  for (const std::string& key : messages) {
    Append(body, {"inline constexpr char ", key, "[] =\n    ",
                  StringLiteral(catalogue.TextOf(key)), ";\n"});
  }
  body += "}  // namespace text\n\n";
  if (!forms.empty()) body += "namespace form {\n";
  for (const auto& [base, categories] : forms) {
    Append(body, {"namespace ", base, " {\n"});
    for (const std::string& category : categories) {
      std::string form = base;
      Append(form, {"[", category, "]"});
      Append(body, {"inline constexpr char ", category, "[] =\n    ",
                    StringLiteral(catalogue.TextOf(form)), ";\n"});
    }
    Append(body, {"}  // namespace ", base, "\n"});
  }
  if (!forms.empty()) body += "}  // namespace form\n\n";
  body +=
      "// What the report macros name: a key with its text.\n"
      "namespace message {\n";
  for (const std::string& key : messages) {
    std::string more;
    for (const std::string& category : forms[key]) {
      Append(more, {", form::", key, "::", category});
    }
    Append(body, {"inline constexpr ::msgreport::checked::Message<key::", key,
                  ", text::", key, more, ">\n    ", key, "{};\n"});
  }
  body +=
      "}  // namespace message\n\ninline constexpr const char* kPairs[] = {\n";
  for (const std::string& key : catalogue.keys) {
    KeyParts parts = PartsOf(catalogue, key);
    if (parts.role == KeyRole::kMessage) {
      Append(body, {"    key::", key, ", text::", key, ",\n"});
    } else if (parts.role == KeyRole::kForm) {
      Append(body, {"    ", StringLiteral(key), ", form::", parts.base, "::",
                    msgreport::PluralCategoryName(parts.category), ",\n"});
    } else {
      Append(body, {"    ", StringLiteral(key), ", ",
                    StringLiteral(catalogue.TextOf(key)), ",\n"});
    }
  }
  // An array cannot be empty; MessageHandler reads no pair of a count of 0.
  if (catalogue.keys.empty()) body += "    nullptr, nullptr,\n";
  body += "};\ninline constexpr int kPairCount = " +
          std::to_string(catalogue.keys.size()) + ";\n\n}  // namespace " + ns +
          "\n\n";
  body += ReportMacro(prefix, ns, "ERROR", "kError");
  body += ReportMacro(prefix, ns, "WARNING", "kWarning");
  body += ReportMacro(prefix, ns, "INFO", "kInfo");
  body += ReportMacro(prefix, ns, "DEBUG", "kDebug");

  std::string guard = IncludeGuard(ns);
  char fingerprint[16];
  std::snprintf(fingerprint, sizeof fingerprint, "0x%08lxu",
                static_cast<unsigned long>(Fingerprint(body)));
  return "// Generated by msgcheck from " + Escaped(source) +
         ": edit that file, not this one.\n"
         "// Needs C++17 or newer.\n\n"
         "#ifndef " +
         guard + "\n#define " + guard + " " + fingerprint + "\n\n" + body +
         "\n#elif " + guard + " != " + fingerprint + "\n#error " +
         StringLiteral("msgreport: two catalogue headers use namespace " + ns +
                       "; give each catalogue a namespace of its own") +
         "\n#endif  // " + guard + "\n";
}

}  // namespace msgcheck
