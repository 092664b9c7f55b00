// A file the window writes into a folder it keeps (an imported core's DFG
// file, the example's two files), to load it from there as a chosen file.
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace velnor {

// Writes bytes as folder/name and returns the file's path; empty when the
// folder or the file cannot be written.
QString write_folder_file(const QTemporaryDir &folder, const QString &name, const QByteArray &bytes);

}  // namespace velnor
