// SPDX-License-Identifier: GPL-3.0-or-later

// Files and bytes for the tests that read and write dictations: the lines a dictation is made
// of, and files written and read back whole, so that a test compares bytes, not what a reader
// under test made of them.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

#include <initializer_list>

namespace testfiles {

// Each line followed by CR LF, as the writer ends every line.
inline QByteArray crLfLines(std::initializer_list<QByteArray> lines)
{
    QByteArray bytes;
    for (const QByteArray &line : lines)
        bytes += line + "\r\n";
    return bytes;
}

// "stem first" to "stem last", one a line, each ended by CR LF.
inline QByteArray numberedLines(const QByteArray &stem, int first, int last)
{
    QByteArray bytes;
    for (int n = first; n <= last; ++n)
        bytes += stem + QByteArray::number(n) + "\r\n";
    return bytes;
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Empty when the file cannot be read.
inline QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Everything in the folder, hidden and system entries too, so that a leftover shows.
inline QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// Two sample dictations, each with item 1 and the nine one-line items all written, in the
// bytes the writer produces.
inline const QByteArray kOldDictation =
        "Vell\r\nEl gat dorm.\r\nx\r\nu\r\nd\r\nt\r\nq\r\nc\r\ns\r\ns\r\nv\r\nn\r\n";
inline const QByteArray kClipsDictation =
        "Clips\r\nu\r\nx\r\nd\r\nt\r\nq\r\nc\r\ns\r\ns\r\nv\r\nn\r\nd\r\n";

} // namespace testfiles
