// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/startupdictation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QUrlQuery>

#include <emscripten/val.h>

#include <memory>

namespace {

QUrl pageUrl()
{
    const emscripten::val location = emscripten::val::global("location");
    return QUrl(QString::fromStdString(location["href"].as<std::string>()));
}

bool sameOrigin(const QUrl &a, const QUrl &b)
{
    return a.scheme() == b.scheme() && a.host() == b.host() && a.port() == b.port();
}

bool write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

void fetchStartupDictation(QObject *context, StartupDictationCalls calls)
{
    const QUrl page = pageUrl();
    const QString named = QUrlQuery(page).queryItemValue(QStringLiteral("dictat"),
                                                         QUrl::FullyDecoded);
    if (named.isEmpty())
        return;
    // Only from the page's own site: the address is anyone's to write, and a dictation from
    // elsewhere would speak with the school's name.
    const QUrl dictationUrl = page.resolved(QUrl(named));
    const QString name = QFileInfo(dictationUrl.path()).fileName();
    if (!sameOrigin(page, dictationUrl) || name.isEmpty()) {
        calls.failed();
        return;
    }

    auto *network = new QNetworkAccessManager(context);
    const QString folder = QDir::temp().filePath(QStringLiteral("luvana/web"));
    QDir().mkpath(folder);
    const QString dictationPath = QDir(folder).filePath(name);
    QNetworkReply *reply = network->get(QNetworkRequest(dictationUrl));
    QObject::connect(reply, &QNetworkReply::finished, context, [=] {
        reply->deleteLater();
        const QByteArray bytes = reply->readAll();
        if (reply->error() != QNetworkReply::NoError || !write(dictationPath, bytes)) {
            network->deleteLater();
            calls.failed();
            return;
        }
        const QStringList besides = calls.filesBeside(name, bytes);
        auto pending = std::make_shared<qsizetype>(besides.size());
        const auto oneEnded = [=] {
            if (--*pending > 0)
                return;
            network->deleteLater();
            // As the open dialog leaves it: pictures named by bare file name are found beside
            // the dictation.
            QDir::setCurrent(folder);
            calls.opened(dictationPath);
        };
        if (besides.isEmpty()) {
            ++*pending;
            oneEnded();
        }
        for (const QString &beside : besides) {
            // A bare name, fetched from the dictation's own folder and kept in ours.
            const QString fileName = QFileInfo(beside).fileName();
            const QUrl url = dictationUrl.resolved(
                    QUrl(QString::fromLatin1(QUrl::toPercentEncoding(fileName))));
            QNetworkReply *file = network->get(QNetworkRequest(url));
            QObject::connect(file, &QNetworkReply::finished, context, [=] {
                file->deleteLater();
                if (file->error() == QNetworkReply::NoError && !fileName.isEmpty())
                    write(QDir(folder).filePath(fileName), file->readAll());
                oneEnded();
            });
        }
    });
}
