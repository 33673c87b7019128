// SPDX-License-Identifier: GPL-3.0-or-later

// The dialog in the browser, where nothing may hold up the page: an open is the browser's own
// file picker, a save the browser's own download. What is chosen lands in a folder of the
// page's own storage (Emscripten's file system in memory), a new one each time, so that a
// dictation's clips and picture, chosen with it, sit beside it as they do in a folder on disk
// and are found there by name, letter case ignored, as the desktop finds them.
#include "platform/commondialog.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

#include <private/qwasmlocalfileaccess_p.h>

#include <memory>
#include <vector>

namespace {

// A new, empty folder for one choice.
QString newChoiceFolder()
{
    static int choices = 0;
    const QString folder = QDir::temp().filePath(QStringLiteral("luvana/%1").arg(++choices));
    QDir().mkpath(folder);
    return folder;
}

// Every pattern of a "description|pattern;pattern|..." filter, as expressions that ignore
// letter case: the browser's picker offers no choice of filter.
QList<QRegularExpression> filterPatterns(const QString &filter)
{
    QList<QRegularExpression> patterns;
    const QStringList parts = filter.split(u'|');
    for (qsizetype i = 1; i < parts.size(); i += 2) {
        for (const QString &pattern : parts.at(i).split(u';', Qt::SkipEmptyParts)) {
            patterns.append(QRegularExpression(
                    QRegularExpression::wildcardToRegularExpression(pattern.trimmed()),
                    QRegularExpression::CaseInsensitiveOption));
        }
    }
    return patterns;
}

struct ChosenFile
{
    QString name;
    QByteArray bytes;
};

} // namespace

std::optional<QString> CommonDialog::showQtDialog(const Request &) const
{
    // No dialog can hold up the page: only a chooser answers show(); the window uses showThen().
    return std::nullopt;
}

void CommonDialog::showThen(Action action, std::function<void(Result)> closed)
{
    // Tests answer through the chooser, as on the desktop.
    if (m_chooser) {
        closed(show(action));
        return;
    }
    if (action == Action::Save) {
        // Named after the file last chosen, as the desktop's save dialog starts with it.
        QString name = QFileInfo(FileName).completeBaseName();
        if (name.isEmpty())
            name = QStringLiteral("dictat");
        if (!DefaultExt.isEmpty())
            name += u'.' + DefaultExt;
        const QString folder = newChoiceFolder();
        FileName = QDir(folder).filePath(name);
        QDir::setCurrent(folder);
        closed(Result::Ok);
        // Only what the caller wrote completely is downloaded; a failed save leaves no file.
        QFile written(FileName);
        if (written.open(QIODevice::ReadOnly))
            QFileDialog::saveFileContent(written.readAll(), name);
        return;
    }

    // Several files at once, any kind: a dictation comes with its clips and picture, and the
    // pickers of Android offer no file whose extension they do not know when given a list.
    auto files = std::make_shared<std::vector<ChosenFile>>();
    auto expected = std::make_shared<int>(0);
    auto received = std::make_shared<int>(0);
    const QList<QRegularExpression> patterns = filterPatterns(Filter);
    const auto allReceived = [this, files, patterns, closed] {
        const QString folder = newChoiceFolder();
        QString chosen;
        for (const ChosenFile &file : std::as_const(*files)) {
            // Only the name: a browser never hands over a folder, but a name is the page's input.
            const QString name = QFileInfo(file.name).fileName();
            if (name.isEmpty() || name == QStringLiteral(".") || name == QStringLiteral(".."))
                continue;
            QFile out(QDir(folder).filePath(name));
            if (!out.open(QIODevice::WriteOnly) || out.write(file.bytes) != file.bytes.size())
                continue;
            for (const QRegularExpression &pattern : patterns) {
                if (chosen.isEmpty() && pattern.match(name).hasMatch())
                    chosen = out.fileName();
            }
        }
        if (chosen.isEmpty()) {
            // Nothing of the kind asked for was chosen: as a cancel.
            closed(CancelError ? Result::CancelError : Result::Ok);
            return;
        }
        FileName = chosen;
        QDir::setCurrent(folder);
        closed(Result::Ok);
    };
    QWasmLocalFileAccess::openFiles(
            std::string(), QWasmLocalFileAccess::MultipleFiles,
            [expected, allReceived](int count) {
                *expected = count;
                if (count == 0)
                    allReceived();
            },
            [files](uint64_t size, const std::string &name) -> char * {
                files->push_back({QString::fromStdString(name), QByteArray()});
                files->back().bytes.resize(qsizetype(size));
                return files->back().bytes.data();
            },
            [expected, received, allReceived] {
                if (++*received == *expected)
                    allReceived();
            });
}
