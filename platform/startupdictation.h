// SPDX-License-Identifier: GPL-3.0-or-later

// The dictation the program opens as it starts, where it is given one. In the browser the
// page's address names it, relative to the page (luvana.html?dictat=dictats/tardor.dtd): a
// teacher copies the dictation's folder beside the program on the school's site. It is fetched
// from the same site with the files it needs beside it, which a web server cannot list, into a
// folder of the page's own storage, where the window opens it as it opens one from disk. The
// desktop starts with no dictation.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

class QObject;

struct StartupDictationCalls
{
    // The names of the files a dictation (its name and bytes) needs beside it.
    std::function<QStringList(const QString &name, const QByteArray &bytes)> filesBeside;
    // The dictation's local path, once every fetch has ended: a file that could not be fetched
    // is missing there, as it may be from a folder on disk.
    std::function<void(const QString &path)> opened;
    // The dictation itself could not be fetched.
    std::function<void()> failed;
};

// Starts fetching; the calls come from the event loop while `context` lives.
void fetchStartupDictation(QObject *context, StartupDictationCalls calls);
