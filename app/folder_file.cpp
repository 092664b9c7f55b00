#include "app/folder_file.h"

#include <QFile>

namespace velnor {

QString write_folder_file(const QTemporaryDir &folder, const QString &name, const QByteArray &bytes) {
    QFile file(folder.filePath(name));
    if (!folder.isValid() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
        return {};
    return file.fileName();
}

}  // namespace velnor
