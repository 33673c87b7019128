// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/application.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

void setUpApplication(QApplication &app)
{
    // No display name: Qt would add it to every window title, and the title bar must read
    // exactly the window's caption ("Form1", "Daz aravoze") and the dialogs' own titles.
    QApplication::setApplicationName(QStringLiteral("luvana"));
    QApplication::setDesktopFileName(QStringLiteral("org.example.luvana"));

    // Every text the program shows is Catalan, the file dialogs' buttons included.
    const QLocale catalan(QLocale::Catalan, QLocale::Spain);
    QLocale::setDefault(catalan);
    auto *translator = new QTranslator(&app);
    if (translator->load(catalan, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
}
