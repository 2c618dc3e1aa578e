#pragma once

#include <QString>

namespace output {

// The longest name of one file or folder that the common file systems take, in bytes.
inline constexpr int kMaxFileNameBytes = 255;

// A name built from stored texts (an organisation's name, a citizen's name and passport) made
// safe as ONE file or folder name inside a folder the user chose: "/" and the characters that
// common file systems refuse (\ : * ? " < > | and control characters) become "_", and so do
// the dots a name begins with (it is never "." or "..", nor hidden from the user). A name longer
// than the file system takes is cut, without splitting a character, so that it fits together
// with `suffix` (".xls"), which is appended. An empty name becomes "_".
QString SafeFileName(const QString& name, const QString& suffix = {});

// A file name chosen in a save dialog, with `suffix` (".xls") appended when it has no
// extension of its own: the dialog's default extension.
QString WithDefaultSuffix(const QString& chosen, const QString& suffix);

}  // namespace output
