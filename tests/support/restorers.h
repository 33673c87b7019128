// SPDX-License-Identifier: GPL-3.0-or-later
// Scope guards for the global state a test changes: an environment variable, a folder's
// permissions. Each puts back what was there when it was made, whatever the test's outcome.
#pragma once

#include <QByteArray>
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
