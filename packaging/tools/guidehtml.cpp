// SPDX-License-Identifier: GPL-3.0-or-later

// luvana_guidehtml --windows <guia.md> <guia.html>: writes the user guide as a page that opens
// with a double click, for the Windows version. The guide is one Markdown file for every
// system; what differs is marked in it with HTML comments, which a Markdown reader does not
// show: a passage between <!-- linux --> and <!-- /linux --> is the Linux version's, and the
// text inside <!-- windows ... --> the Windows version's. A <!-- linux --> left without its
// end fails the build, so that no Linux path reaches the Windows guide by a slip.
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextDocument>
#include <QTextStream>

namespace {

int fail(const QString &message)
{
    QTextStream(stderr) << "luvana_guidehtml: " << message << '\n';
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    // Only text is laid out here: no screen is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 4 || args.at(1) != QLatin1String("--windows"))
        return fail(QStringLiteral("usage: luvana_guidehtml --windows <guia.md> <guia.html>"));

    QFile in(args.at(2));
    if (!in.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1").arg(args.at(2)));
    QString markdown = QString::fromUtf8(in.readAll());

    const QRegularExpression linuxOnly(QStringLiteral("<!-- linux -->.*?<!-- /linux -->"),
                                       QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpression windowsOnly(QStringLiteral("<!-- windows\\s(.*?)\\s*-->"),
                                         QRegularExpression::DotMatchesEverythingOption);
    markdown.remove(linuxOnly);
    markdown.replace(windowsOnly, QStringLiteral("\\1"));
    if (markdown.contains(QLatin1String("<!-- linux"))
        || markdown.contains(QLatin1String("<!-- /linux")))
        return fail(QStringLiteral("a <!-- linux --> passage without its <!-- /linux -->"));

    QTextDocument document;
    // The page names its font: Windows' own, at a size a teacher reads without zooming.
    QFont font(QStringLiteral("Segoe UI"));
    font.setPointSize(11);
    document.setDefaultFont(font);
    document.setMarkdown(markdown, QTextDocument::MarkdownDialectGitHub);
    document.setMetaInformation(QTextDocument::DocumentTitle, QStringLiteral("Guia de Luvana"));
    QSaveFile out(args.at(3));
    if (!out.open(QIODevice::WriteOnly) || out.write(document.toHtml().toUtf8()) < 0
        || !out.commit())
        return fail(QStringLiteral("cannot write %1").arg(args.at(3)));
    return 0;
}
