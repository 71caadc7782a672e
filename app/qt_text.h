// Texts and file names between the core (UTF-16 in standard strings,
// filesystem paths, Error) and Qt.
#pragma once

#include <filesystem>
#include <string_view>

#include <QFile>
#include <QString>

#include "error.h"

namespace tessaly {

// QStringOf returns `text` as a QString.
inline QString QStringOf(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// ViewOf returns the UTF-16 units of `text`, valid as long as `text` is.
inline std::u16string_view ViewOf(const QString& text) {
  return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size())};
}

// PathOf and NameOf convert between a file name as Qt shows it and as the
// system takes it, byte for byte.
inline std::filesystem::path PathOf(const QString& name) { return QFile::encodeName(name).toStdString(); }
inline QString NameOf(const std::filesystem::path& file) { return QFile::decodeName(file.string().c_str()); }

// ErrorDetails returns the details of a message box about `error` with
// `file`: ErrorText (error.h), in the window's language.
inline QString ErrorDetails(const Error& error, const std::filesystem::path& file) {
  return QString::fromStdString(ErrorText(error, NameOf(file).toStdString()));
}

}  // namespace tessaly
