#pragma once

#include <QString>

// A fresh, uniquely named, empty file in the user's temporary folder whose
// name starts with prefix. Returns its path, or an empty text with the
// reason in error. The caller deletes the file when done.
QString CreateTempFile(const QString &prefix, QString *error = nullptr);

// Deletes a file; true when it is gone.
bool DeleteFile(const QString &path);
