// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/datapaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString samplesFolder()
{
    const QDir executableDir(QCoreApplication::applicationDirPath());
    const QString installed = executableDir.absoluteFilePath(
            QStringLiteral("../share/luvana/dictats"));
    if (QFileInfo(installed).isDir())
        return QDir::cleanPath(installed);
    return executableDir.absoluteFilePath(QStringLiteral("dictats"));
}

QString textsPagePath()
{
    return QDir(samplesFolder()).absoluteFilePath(QStringLiteral("textos.html"));
}
