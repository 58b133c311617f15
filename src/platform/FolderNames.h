#pragma once

#include <QByteArray>
#include <functional>

// Calls onName with the name of every entry of the folder (files, folders, anything; not "." and
// ".."), in no particular order, in the file system's own encoding. False, with the system error
// (errno) in *error, when the folder cannot be listed to the end.
[[nodiscard]] bool forEachNameInFolder(const QByteArray& folder, const std::function<void(const char* name)>& onName,
                                       int* error);
