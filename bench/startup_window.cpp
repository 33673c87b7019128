// SPDX-License-Identifier: GPL-3.0-or-later
// The program's window, started as the program starts it, for bench_startup (see
// startupchild.h).
#include "app/application.h"
#include "app/form1.h"
#include "startupchild.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    setUpApplication(app);
    Form1 window;
    startupchild::FirstPaint firstPaint;
    window.installEventFilter(&firstPaint);
    window.show();
    return app.exec();
}
