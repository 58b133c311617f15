#pragma once

#include <QString>

// Our own private-profile (INI) reader and writer: CP932, CR LF, "[section]" and "key=value" lines,
// read character by character (a trail byte is never "[", "]", "=" or ";"). Section and key names
// match without regard to case; blanks (space, tab, \v, \f, U+3000) around names and values are
// ignored on reading, and names are written without them. Writing keeps every other line of the file
// byte for byte.
namespace profile {

// The value up to its first NUL, at most 255 bytes of CP932 cut back to a whole character; "" when
// file, section or key is missing. A file that exists but cannot be read gives "" and sets *error.
[[nodiscard]] QString readValue(const QString& path, const QString& section, const QString& key,
                                QString* error = nullptr);

// Replaces the key's value where it stands, appends a new key at the end of its section and a new
// section at the end of the file. Atomic: on failure the file is as it was and *error says why.
// Refuses what would not read back as written: empty names, line breaks or NUL anywhere, "]" in the
// section, "=" in the key or ";" or "[" at its start, characters CP932 cannot hold.
[[nodiscard]] bool writeValue(const QString& path, const QString& section, const QString& key, const QString& value,
                              QString* error = nullptr);

} // namespace profile
