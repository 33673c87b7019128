// SPDX-License-Identifier: GPL-3.0-or-later

// CMDialog1: the one file dialog that opening, saving and the picture choice share.
//
// Callers set CancelError, Filter ("description|pattern|description|pattern...") and the filter
// index, then show it with an action (1 open, 2 save) and read FileName. A cancel is reported as
// a failure the caller may skip; FileName then keeps the last chosen name, which the window's
// loading and picture choice rely on. A completed dialog makes the chosen file's folder the
// current directory, so pictures named by bare file name are found beside it. A save dialog
// whose folder cannot be written to starts in the user's documents instead. A name typed in
// the save dialog without any extension gets DefaultExt, as the file it names would otherwise be
// hidden by the very filter it was saved under.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QWidget;

class CommonDialog : public QObject
{
    Q_OBJECT
public:
    enum class Action { Open = 1, Save = 2 };
    // CancelError is the failure a caller sees for a cancel when CancelError is set.
    enum class [[nodiscard]] Result {Ok, CancelError};

    // What a dialog shows; a chooser answers with a path, or nothing for a cancel.
    struct Request
    {
        Action action;
        QStringList nameFilters;
        int filterIndex; // 1-based, as the callers set it
        QString startFolder;
        QString defaultExtension; // empty for an open dialog
    };
    using Chooser = std::function<std::optional<QString>(const Request &)>;

    explicit CommonDialog(QWidget *dialogParent, QObject *parent = nullptr);

    bool CancelError = false;
    QString Filter;
    int FilterIndex = 0;
    QString FileName;
    QString DefaultExt; // without its dot: "dtd"; used by the save dialog only

    // Writing the dialog action: shows the dialog modally and returns when it is closed.
    // A cancel leaves FileName as it was.
    Result show(Action action);
    // The same, for a caller that goes on once the dialog is closed: `closed` gets what show()
    // returns. Where a dialog can hold up its caller (the desktop) that is before this returns.
    // In the browser, whose page nothing may hold up, an open is the browser's file picker, and
    // `closed` is called later from the event loop once files are chosen (a picker closed
    // without any tells nothing); a save hands `closed` a file in the page's own storage and
    // then has the browser download what `closed` wrote there.
    void showThen(Action action, std::function<void(Result)> closed);

    // Tests answer the dialog through this seam instead of a window; an empty chooser restores
    // the real dialog.
    void setChooser(Chooser chooser);
    // The desktop's own dialog where there is one; tests use Qt's, which they can drive.
    void setUseNativeDialog(bool useNative);
    // Where the first dialog opens; later ones open where the last completed one left off,
    // a save dialog in the user's documents when it cannot write there.
    void setInitialDirectory(const QString &folder);
    // What a completed dialog does with the file chosen, for a file named elsewhere (the
    // command line, a double click in the file manager): FileName, the current directory and
    // the next dialog's folder follow it.
    void take(const QString &path);

    static QStringList nameFilters(const QString &filter);
    // The path with "." and the extension added when its file name has no "." at all.
    static QString withDefaultExtension(const QString &path, const QString &extension);

private:
    std::optional<QString> showQtDialog(const Request &request) const;

    QWidget *m_dialogParent;
    Chooser m_chooser;
    bool m_useNative = true;
    QString m_initialDirectory;
};
