// Messages through gettext.
#include "messages.h"

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include <libintl.h>

#include "program_folder.h"
#include "tessaly_config.h"
#include "tessaly_version.h"

namespace tessaly {
namespace {

constexpr const char* kDomain = "tessaly";

}  // namespace

void SetUpMessages(MessageLanguage language) {
  if (language == MessageLanguage::Chinese) {
    // LANGUAGE picks the catalogue before the locale does, but gettext
    // ignores it in the plain C locale; C.UTF-8 is C in all but name.
    const char* messages = std::setlocale(LC_MESSAGES, nullptr);
    if (messages == nullptr || std::strcmp(messages, "C") == 0 || std::strcmp(messages, "POSIX") == 0) {
      std::setlocale(LC_MESSAGES, "C.UTF-8");
    }
    setenv("LANGUAGE", "zh_CN", 1);
  }
  bindtextdomain(kDomain, MessageFolder().c_str());
  bind_textdomain_codeset(kDomain, "UTF-8");
}

const char* Translate(const char* english) { return dgettext(kDomain, english); }

std::string Format(std::string_view pattern, const std::vector<std::string>& args) {
  std::string out;
  size_t next = 0;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's') {
      if (next < args.size()) out += args[next++];
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

std::filesystem::path MessageFolder() {
  const std::filesystem::path folder = ProgramFolder();
  std::error_code ec;
  if (std::filesystem::is_directory(folder / "locale", ec)) return folder / "locale";
  return folder / kLocaleFromProgram;
}

std::string VersionText(const char* program) {
  return Format(TR("%s (%s) %s\n"
                  "Copyright (C) 2026 the Tessaly authors.\n"
                  "License MIT: <https://opensource.org/licenses/MIT>.\n"
                  "This is free software: you are free to change and redistribute it.\n"
                  "There is NO WARRANTY, to the extent permitted by law.\n"),
                {program, kProductName, kVersionString});
}

}  // namespace tessaly
