#pragma once

#include <QString>

// Deletes one file outright (no wastebasket). On failure *error holds the reason.
[[nodiscard]] bool removeFile(const QString& path, QString* error);
