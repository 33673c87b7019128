// SPDX-License-Identifier: GPL-3.0-or-later

// The dialog where it can hold up its caller until it is closed: Qt's file dialog, or the
// desktop's own, shown modally.
#include "platform/commondialog.h"

#include <QFileDialog>

namespace {

#if !defined(Q_OS_WIN) && !defined(Q_OS_DARWIN)
// "*.dtd" -> "*.[dD][tT][dD]": a pattern that matches the same names in any letter case.
QString caselessPattern(const QString &pattern)
{
    QString caseless;
    for (const QChar c : pattern) {
        if (c.toLower() != c.toUpper())
            caseless += u'[' + c.toLower() + c.toUpper() + u']';
        else
            caseless += c;
    }
    return caseless;
}
#endif

// Qt's own dialog and the Windows and macOS ones match patterns in any letter case, as those
// systems name files; the GTK and portal dialogs of other systems match them exactly and would
// hide "ANIMALS.DTD", saved on Windows, from "*.dtd". There each entry is given its patterns
// in both cases, behind the text the user sees, which stays as the caller wrote it.
void setNameFilters(QFileDialog &dialog, const QStringList &shown, int filterIndex)
{
    QStringList filters = shown;
#if !defined(Q_OS_WIN) && !defined(Q_OS_DARWIN)
    for (QString &entry : filters) {
        const QString patterns = entry.mid(entry.lastIndexOf(u'(') + 1).chopped(1);
        QStringList caseless;
        for (const QString &pattern : patterns.split(u' ', Qt::SkipEmptyParts))
            caseless.append(caselessPattern(pattern));
        entry += QStringLiteral(" (") + caseless.join(u' ') + u')';
    }
    // Only the last brackets of an entry are its patterns; the dialog shows what comes before.
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
#endif
    dialog.setNameFilters(filters);
    if (filterIndex >= 1 && filterIndex <= filters.size())
        dialog.selectNameFilter(filters.at(filterIndex - 1));
}

} // namespace

void CommonDialog::showThen(Action action, std::function<void(Result)> closed)
{
    closed(show(action));
}

std::optional<QString> CommonDialog::showQtDialog(const Request &request) const
{
    QFileDialog dialog(m_dialogParent);
    dialog.setObjectName(QStringLiteral("CMDialog1Window"));
    dialog.setOption(QFileDialog::DontUseNativeDialog, !m_useNative);
    setNameFilters(dialog, request.nameFilters, request.filterIndex);
    if (request.action == Action::Save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        // Added before the dialog asks about replacing a file, so it asks about the right one.
        dialog.setDefaultSuffix(request.defaultExtension);
        dialog.setFileMode(QFileDialog::AnyFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    dialog.setDirectory(request.startFolder);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}
