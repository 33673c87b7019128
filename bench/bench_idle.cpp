// SPDX-License-Identifier: GPL-3.0-or-later

// What an idle window costs: a dictation open, nobody listening, the grading timer ticking five
// times a second. Prints the processor time the whole process used over the run, as a share of
// one core, and how often the grade label was painted although the grade never changed.
//
//   bench_idle [seconds]    (default 60)
#include "app/form1.h"
#include "benchtable.h"
#include "platform/commondialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <ctime>
#include <optional>

namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget *widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// A five-item dictation in the teacher's format: Windows-1252, CR LF.
QString writeDictation(const QTemporaryDir &dir)
{
    const QByteArray bytes = "Els animals\r\n"
                             "El gall canta quan surt el sol.\r\n"
                             "x\r\n"
                             "On dorm la vaca?\r\n"
                             "Qu\xe8 menja el conill?\r\n"
                             "Qui pon ous?\r\n"
                             "Com fa el gat?\r\n"
                             "\r\n\r\n\r\n\r\n\r\n";
    const QString path = dir.filePath(QStringLiteral("animals.dtd"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return path;
}

void runEventLoop(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    double seconds = 60;
    if (argc > 1) {
        bool ok = false;
        seconds = QString::fromLocal8Bit(argv[1]).toDouble(&ok);
        if (!ok || seconds <= 0) {
            std::fprintf(stderr, "usage: %s [seconds]\n", argv[0]);
            return 2;
        }
    }

    QTemporaryDir dir;
    const QString dictation = writeDictation(dir);
    if (dictation.isEmpty()) {
        std::fprintf(stderr, "cannot write a dictation in %s\n", qPrintable(dir.path()));
        return 1;
    }

    Form1 window;
    auto *dialog = window.findChild<CommonDialog *>(QStringLiteral("CMDialog1"));
    dialog->setChooser(
            [&](const CommonDialog::Request &) { return std::optional<QString>(dictation); });
    window.show();
    window.Command1_Click();

    auto *label2 = window.findChild<QLabel *>(QStringLiteral("Label2"));
    auto *timer1 = window.findChild<QTimer *>(QStringLiteral("Timer1"));
    // Let the first ticks write the grade and the window settle before measuring.
    runEventLoop(1000);
    const QString grade = label2->text();

    PaintCounter label2Paints(label2);
    int ticks = 0;
    QObject::connect(timer1, &QTimer::timeout, [&] { ++ticks; });

    QElapsedTimer wall;
    const std::clock_t cpuStart = std::clock();
    wall.start();
    runEventLoop(int(seconds * 1000));
    const std::clock_t cpuEnd = std::clock();
    const double wallSeconds = wall.nsecsElapsed() / 1e9;
    const double cpuSeconds = double(cpuEnd - cpuStart) / CLOCKS_PER_SEC;

    const double cpuPercent = 100 * cpuSeconds / wallSeconds;
    const bool gradeUnchanged = label2->text() == grade;
    const int expectedTicks = int(wallSeconds * 1000 / timer1->interval());

    BenchTable table;
    table.row(QStringLiteral("idle CPU, %1 s, % of one core").arg(wallSeconds, 0, 'f', 1),
              QString::number(cpuPercent, 'f', 3), QStringLiteral("<= 0.2"), cpuPercent <= 0.2);
    table.row(QStringLiteral("Label2 paints, grade unchanged"),
              gradeUnchanged ? QString::number(label2Paints.paints)
                             : QStringLiteral("grade changed: %1").arg(label2->text()),
              QStringLiteral("0"), gradeUnchanged && label2Paints.paints == 0);
    table.row(QStringLiteral("grading ticks"), QString::number(ticks),
              QStringLiteral("~%1").arg(expectedTicks), ticks >= expectedTicks * 9 / 10);
    table.print();
    return 0;
}
