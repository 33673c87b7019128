// SPDX-License-Identifier: GPL-3.0-or-later
// Scope guards for the global state a test changes: an environment variable, a folder's
// permissions. Each puts back what was there when it was made, whatever the test's outcome.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

class EnvironmentRestorer
{
public:
    EnvironmentRestorer(const char *name, const QByteArray &value)
        : m_name(name), m_previous(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~EnvironmentRestorer()
    {
        if (m_previous.isNull())
            qunsetenv(m_name);
        else
            qputenv(m_name, m_previous);
    }
    EnvironmentRestorer(const EnvironmentRestorer &) = delete;
    EnvironmentRestorer &operator=(const EnvironmentRestorer &) = delete;

private:
    const char *m_name;
    QByteArray m_previous;
};

class PermissionsRestorer
{
public:
    explicit PermissionsRestorer(const QString &path)
        : m_path(path), m_previous(QFile::permissions(path))
    {
    }
    ~PermissionsRestorer() { QFile::setPermissions(m_path, m_previous); }
    PermissionsRestorer(const PermissionsRestorer &) = delete;
    PermissionsRestorer &operator=(const PermissionsRestorer &) = delete;

private:
    QString m_path;
    QFile::Permissions m_previous;
};

// A desktop trash of the test's own, under `folder`/data, so that what a discard or a kept
// recording moves to the trash can be looked at.
class PrivateTrash
{
public:
    explicit PrivateTrash(const QString &folder)
        : m_dataHome(QDir(folder).filePath(QStringLiteral("data"))),
          m_made(QDir().mkpath(m_dataHome)),
          m_restore("XDG_DATA_HOME", QFile::encodeName(m_dataHome))
    {
    }
    bool isValid() const { return m_made; }
    QDir files() const { return QDir(m_dataHome + QStringLiteral("/Trash/files")); }

private:
    QString m_dataHome;
    bool m_made;
    EnvironmentRestorer m_restore;
};
