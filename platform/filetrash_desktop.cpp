// SPDX-License-Identifier: GPL-3.0-or-later

// The desktop's trash, through Qt, on every system but Windows (filetrash_windows.cpp); on the
// free desktops and in the browser checked, since Qt 6.4 may report a move into a folder that
// is no trash.
#include "platform/filetrash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

TrashResult moveToSystemTrash(const QString &path)
{
#if !defined(Q_OS_DARWIN)
    // The desktop trash lives in the data folder; where that folder does not exist, Qt 6.4
    // quietly "trashes" into files/ and info/ under the current directory, which is the
    // dictation's folder. Make sure the data folder is there first.
    const QString dataFolder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dataFolder.isEmpty() || !QDir().mkpath(dataFolder))
        return TrashResult::Failed;
#endif

    QFile file(path);
    if (!file.moveToTrash())
        return TrashResult::Failed;
#if !defined(Q_OS_DARWIN)
    // A trashed file sits in <some>Trash<...>/files; anywhere else it is put back.
    QDir files = QFileInfo(file.fileName()).absoluteDir();
    QDir trash = files;
    const bool inTrash = files.dirName() == QLatin1String("files") && trash.cdUp()
            && trash.dirName().contains(QLatin1String("Trash"));
    if (!inTrash) {
        QFile::rename(file.fileName(), path);
        return TrashResult::Failed;
    }
#endif
    return TrashResult::Moved;
}
