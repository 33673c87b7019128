// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/commondialog.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// Where a save starts when the folder it would start in takes no files: the user's documents,
// or the home folder of an account that has no documents folder.
QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

} // namespace

CommonDialog::CommonDialog(QWidget *dialogParent, QObject *parent)
    : QObject(parent), m_dialogParent(dialogParent)
{
}

QStringList CommonDialog::nameFilters(const QString &filter)
{
    // "Dictats (*.dtd)|*.dtd" holds pairs; Qt wants one "description (patterns)" per entry.
    // Patterns separated by ';' in a pair become Qt's space-separated list.
    const QStringList parts = filter.split(u'|');
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts.at(i).trimmed();
        const QString patterns = parts.at(i + 1).split(u';', Qt::SkipEmptyParts).join(u' ');
        const QString shown = QStringLiteral(" (") + patterns + u')';
        // "Dictats (*.dtd)" already shows its pattern the way Qt reads it.
        result.append(description.endsWith(shown.trimmed()) ? description : description + shown);
    }
    return result;
}

CommonDialog::Result CommonDialog::show(Action action)
{
    QString startFolder = m_initialDirectory.isEmpty() ? QDir::currentPath() : m_initialDirectory;
    // Installed, the samples folder (and so the folder of a sample just opened) is read-only:
    // a save started there could only fail.
    if (action == Action::Save && !QFileInfo(startFolder).isWritable())
        startFolder = documentsFolder();
    const Request request {action, nameFilters(Filter), FilterIndex, startFolder,
                           action == Action::Save ? DefaultExt : QString()};
    const std::optional<QString> chosen = m_chooser ? m_chooser(request) : showQtDialog(request);
    if (!chosen || chosen->isEmpty())
        return CancelError ? Result::CancelError : Result::Ok;

    take(withDefaultExtension(*chosen, request.defaultExtension));
    return Result::Ok;
}

void CommonDialog::take(const QString &path)
{
    const QFileInfo file(path);
    FileName = QDir::toNativeSeparators(file.absoluteFilePath());
    QDir::setCurrent(file.absolutePath());
    m_initialDirectory.clear();
}

QString CommonDialog::withDefaultExtension(const QString &path, const QString &extension)
{
    // Qt's own dialog adds its default suffix by the same rule, so both dialogs agree.
    if (extension.isEmpty() || QFileInfo(path).fileName().contains(u'.'))
        return path;
    return path + u'.' + extension;
}

void CommonDialog::setInitialDirectory(const QString &folder)
{
    m_initialDirectory = folder;
}

void CommonDialog::setChooser(Chooser chooser)
{
    m_chooser = std::move(chooser);
}

void CommonDialog::setUseNativeDialog(bool useNative)
{
    m_useNative = useNative;
}
