// SPDX-License-Identifier: GPL-3.0-or-later

// luvana_textspage <out.html> <dictation.dtd>...: writes the page of dictation texts. The build
// runs it over the sample dictations; a sample that cannot be read, or whose picture is not
// beside it, fails the build rather than ship a page that disagrees with the samples.
#include "dictation/dictationfile.h"
#include "dictation/format.h"
#include "packaging/tools/textspage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>
#include <QTextStream>

namespace {

int fail(const QString &message)
{
    QTextStream(stderr) << "luvana_textspage: " << message << '\n';
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3)
        return fail(QStringLiteral("usage: luvana_textspage <out.html> <dictation.dtd>..."));

    QList<textspage::Entry> entries;
    for (const QString &path : args.mid(2)) {
        const auto bytes = dictation::readDictationBytes(path);
        if (!bytes)
            return fail(QStringLiteral("cannot read %1").arg(path));
        const QFileInfo file(path);
        textspage::Entry entry {file.fileName(), dictation::parse(*bytes)};
        const QString &item1 = entry.dictation.items.front();
        if (dictation::isPictureReference(item1)
            && !file.dir().exists(dictation::pictureFileName(item1)))
            return fail(QStringLiteral("%1 names the picture %2, which is not beside it")
                                .arg(path, dictation::pictureFileName(item1)));
        entries.append(entry);
    }

    QSaveFile page(args.at(1));
    if (!page.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("cannot write %1").arg(args.at(1)));
    page.write(textspage::pageHtml(entries).toUtf8());
    if (!page.commit())
        return fail(QStringLiteral("cannot write %1").arg(args.at(1)));
    return 0;
}
