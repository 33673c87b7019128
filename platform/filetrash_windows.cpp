// SPDX-License-Identifier: GPL-3.0-or-later

// Windows keeps a Recycle Bin on fixed drives only: on a USB stick (where the portable zip
// runs), a memory card or a network folder, Qt 6.4's moveToTrash deletes the file outright and
// reports success. There the clip is set aside in its own folder instead.
#include "platform/filetrash.h"

#include <QDir>
#include <QFile>
#include <QStorageInfo>

#include <windows.h>

#include <shellapi.h>

#include <string>

namespace {

bool hasRecycleBin(const QString &path)
{
    const QString root = QStorageInfo(path).rootPath();
    if (root.isEmpty())
        return false;
    // "C:\", "\\server\share\": the trailing separator is what both calls want.
    const std::wstring nativeRoot = QDir::toNativeSeparators(root).toStdWString();
    if (GetDriveTypeW(nativeRoot.c_str()) != DRIVE_FIXED)
        return false;
    SHQUERYRBINFO info {};
    info.cbSize = sizeof(info);
    return SUCCEEDED(SHQueryRecycleBinW(nativeRoot.c_str(), &info));
}

} // namespace

TrashResult moveToSystemTrash(const QString &path)
{
    if (!hasRecycleBin(path))
        return setAsideAsDiscarded(path);
    QFile file(path);
    return file.moveToTrash() ? TrashResult::Moved : TrashResult::Failed;
}
