// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/application.h"
#include "app/form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    setUpApplication(app);
    Form1 window;
    window.showMaximized();
    if (const QStringList arguments = QApplication::arguments(); arguments.size() > 1)
        window.openGivenDictation(arguments.at(1));
    return app.exec();
}
