// SPDX-License-Identifier: GPL-3.0-or-later

#include "packaging/tools/textspage.h"

#include <QFileInfo>
#include <QUrl>

namespace textspage {

namespace {

// The window's own headings, so the page reads like the exercise.
const QString kReadingHeading = QStringLiteral("Llegeix amb atenció aquest text.");
const QString kPictureHeading = QStringLiteral("Mira amb atenció aquest dibuix.");
const QString kQuestionsHeading = QStringLiteral("Contesta aquestes preguntes");

const char kStyle[] = R"(body { font-family: "Liberation Sans", Arial, sans-serif; margin: 2em auto;
       max-width: 46em; padding: 0 1em; background: #ffff80; color: #000; }
h1 { color: #c00000; }
section { background: #fff; border: 1px solid #999; border-radius: 6px; margin: 1.5em 0;
          padding: 0 1.2em 1em; }
h3 { color: #c00000; font-size: 1em; }
img { max-width: 100%; height: auto; border: 1px solid #999; }
.fitxer { color: #555; font-size: 0.85em; }
)";

QString escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

QString anchorOf(const Entry &entry)
{
    return QFileInfo(entry.fileName).completeBaseName();
}

void appendItem1(QString &html, const Entry &entry)
{
    const QString &block = entry.dictation.items.front();
    if (block.isEmpty())
        return;
    if (dictation::isPictureReference(block)) {
        const QString picture = dictation::pictureFileName(block);
        const QString source = QString::fromLatin1(QUrl::toPercentEncoding(picture));
        html += QStringLiteral("<h3>%1</h3>\n<p><img src=\"%2\" alt=\"%3\"></p>\n")
                        .arg(kPictureHeading, escaped(source),
                             escaped(QStringLiteral("Dibuix: ") + entry.dictation.title));
        return;
    }
    html += QStringLiteral("<h3>%1</h3>\n").arg(kReadingHeading);
    const QStringList lines = block.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    for (const QString &line : lines)
        html += QStringLiteral("<p>%1</p>\n").arg(escaped(line));
}

void appendQuestions(QString &html, const Entry &entry)
{
    QString list;
    for (std::size_t item = 1; item < entry.dictation.items.size(); ++item) {
        const QString &question = entry.dictation.items.at(item);
        if (!question.isEmpty())
            list += QStringLiteral("<li>%1</li>\n").arg(escaped(question));
    }
    if (!list.isEmpty())
        html += QStringLiteral("<h3>%1</h3>\n<ol>\n%2</ol>\n").arg(kQuestionsHeading, list);
}

} // namespace

QString pageHtml(const QList<Entry> &entries)
{
    QString html = QStringLiteral("<!DOCTYPE html>\n<html lang=\"ca\">\n<head>\n"
                                  "<meta charset=\"utf-8\">\n"
                                  "<title>Textos dels dictats</title>\n<style>\n");
    html += QString::fromUtf8(kStyle);
    html += QStringLiteral("</style>\n</head>\n<body>\n<h1>Textos dels dictats</h1>\n");

    if (!entries.isEmpty()) {
        html += QStringLiteral("<ul>\n");
        for (const Entry &entry : entries)
            html += QStringLiteral("<li><a href=\"#%1\">%2</a></li>\n")
                            .arg(escaped(anchorOf(entry)), escaped(entry.dictation.title));
        html += QStringLiteral("</ul>\n");
    }

    for (const Entry &entry : entries) {
        html += QStringLiteral("<section id=\"%1\">\n<h2>%2</h2>\n")
                        .arg(escaped(anchorOf(entry)), escaped(entry.dictation.title));
        appendItem1(html, entry);
        appendQuestions(html, entry);
        html += QStringLiteral("<p class=\"fitxer\">Fitxer del dictat: %1</p>\n</section>\n")
                        .arg(escaped(entry.fileName));
    }
    html += QStringLiteral("</body>\n</html>\n");
    return html;
}

} // namespace textspage
