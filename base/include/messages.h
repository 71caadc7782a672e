// The texts the programs show the user, in the user's language: English
// in the source, Chinese from the "tessaly" message catalogue (gettext).
// The command-line tools follow the user's locale; the window, whose own
// texts are Chinese, asks for Chinese everywhere.
//
//   SetUpMessages(MessageLanguage::Locale);
//   std::string text = Format(TR("line %s: %s"), {std::to_string(n), reason});
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// TR translates a text of the libraries; N_ only marks one for the
// catalogue, to be translated where it is shown.
#define TR(text) ::tessaly::Translate(text)
#define N_(text) text

namespace tessaly {

enum class MessageLanguage {
  Locale,   // the language of the user's locale (LC_ALL, LC_MESSAGES, LANG, LANGUAGE)
  Chinese,  // Chinese whatever the locale
};

// SetUpMessages opens the catalogue (MessageFolder) for the texts to come.
// The caller has set the locale (setlocale) before.
void SetUpMessages(MessageLanguage language);

// Translate returns `english` in the language set up, as UTF-8; `english`
// itself when the catalogue lacks it or none is set up.
const char* Translate(const char* english);

// Format replaces each "%s" of `pattern` by the next of `args`, in order.
std::string Format(std::string_view pattern, const std::vector<std::string>& args);

// VersionText returns what --version prints for `program` (the window's
// and both tools'): the name and version, the copyright and the licence,
// as GNU programs print them.
std::string VersionText(const char* program);

// MessageFolder returns the folder of the message catalogues: locale/
// beside the program in the build tree, the installed locale folder
// otherwise.
std::filesystem::path MessageFolder();

}  // namespace tessaly
