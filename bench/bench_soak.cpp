// SPDX-License-Identifier: GPL-3.0-or-later
// The window's memory over a long session: 10,000 clicks of a pupil and a teacher taking turns
// (new attempts, plays, the authoring layout, picture choices, saves, the recorder strip, the
// feedback panel), over two dictations, one with a picture, with sound playing through a
// private sound server. Whatever the window allocates for a click must be given back: after a
// warm-up, the peak memory may not grow by more than 5 %. tst_soak runs the same session for
// what it must do; this measures what it costs.
//
//   bench_soak [clicks]    (default 10000; the first fifth warm up)
#include "app/form1.h"
#include "benchtable.h"
#include "platform/commondialog.h"
#include "sound/mediacontrol/mediacontrol.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QQueue>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <optional>

namespace {

// Linux reports the process's peak resident size in /proc/self/status; -1 elsewhere.
qint64 peakKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() >= 2 && fields[0] == "VmHWM:")
            return fields[1].toLongLong();
    }
    return -1;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool copyCorpusFile(const char *name, const QString &to)
{
    const QString from = QStringLiteral(LUVANA_CORPUS_DIR "/") + QString::fromLatin1(name);
    QFile::remove(to);
    return QFile::copy(from, to);
}

// The window as a user meets it: clicks land on whatever control is in front at that point.
class Session
{
public:
    Session()
    {
        m_window.findChild<CommonDialog *>(QStringLiteral("CMDialog1"))
                ->setChooser([this](const CommonDialog::Request &) {
                    return m_answers.isEmpty() ? std::optional<QString>() : m_answers.dequeue();
                });
        m_window.show();
        m_exposed = QTest::qWaitForWindowExposed(&m_window);
    }
    bool exposed() const { return m_exposed; }
    Form1 &window() { return m_window; }
    void answer(const QString &path) { m_answers.enqueue(path); }
    QWidget *get(const char *name) const
    {
        return m_window.findChild<QWidget *>(QString::fromLatin1(name));
    }
    void click(const char *name, std::optional<QPoint> at = std::nullopt)
    {
        QTest::mouseClick(m_window.windowHandle(), Qt::LeftButton, {}, point(name, at));
    }
    void doubleClick(const char *name)
    {
        QTest::mouseDClick(m_window.windowHandle(), Qt::LeftButton, {}, point(name, {}));
    }

private:
    QPoint point(const char *name, std::optional<QPoint> at) const
    {
        QWidget *control = get(name);
        return control->mapTo(&m_window, at.value_or(control->rect().center()));
    }

    Form1 m_window;
    QQueue<QString> m_answers;
    bool m_exposed = false;
};

} // namespace

int main(int argc, char *argv[])
{
    int clicks = 10000;
    if (argc > 1) {
        clicks = QString::fromLocal8Bit(argv[1]).toInt();
        if (clicks < 100) {
            std::fprintf(stderr, "usage: %s [clicks, at least 100]\n", argv[0]);
            return 2;
        }
    }
    const int warmUp = clicks / 5;

    // A private server, so the session neither sounds on the desktop nor lacks sound.
    QTemporaryDir serverDir;
    const QString fixture = QStringLiteral(LUVANA_PULSE_FIXTURE);
    const bool sound = QProcess::execute(fixture, {QStringLiteral("start"), serverDir.path()}) == 0
            && !QFile::exists(serverDir.filePath(QStringLiteral("unavailable")));
    if (sound) {
        qputenv("PULSE_SERVER",
                QFile::encodeName(serverDir.filePath(QStringLiteral("runtime/native")))
                        .prepend("unix:"));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(serverDir.filePath(QStringLiteral("runtime"))));
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    BenchTable table;
    const QString name = QStringLiteral("peak memory growth, %1 clicks").arg(clicks);
    int status = 0;
    {
        QApplication app(argc, argv);
        // Loading a dictation makes its folder the current one, as relative picture names need.
        const auto restoreDir = qScopeGuard([dir = QDir::currentPath()] { QDir::setCurrent(dir); });
        QTemporaryDir folder;
        const QString text = folder.filePath(QStringLiteral("text.dtd"));
        const QString picture = folder.filePath(QStringLiteral("picture.dtd"));
        const QString saved = folder.filePath(QStringLiteral("saved.dtd"));
        bool ready = writeFile(text,
                               "Text\r\nEl gat dorm.\r\nAl sol.\r\nx\r\nu\r\nd\r\nt\r\nq\r\nc"
                               "\r\ns\r\ns\r\nv\r\nn\r\n")
                && writeFile(picture,
                             "Imatge\r\ngood.jpg\r\nx\r\nu\r\nd\r\nt\r\n\r\n\r\n\r\n\r\n"
                             "\r\n\r\n");
        for (const char *file : {"good.jpg", "good.gif"})
            ready = ready && copyCorpusFile(file, folder.filePath(QString::fromLatin1(file)));
        for (int item = 1; item <= 10; ++item) {
            for (const char *stem : {"text-", "picture-"}) {
                ready = ready
                        && copyCorpusFile("good.wav",
                                          folder.filePath(QString::fromLatin1(stem)
                                                          + QString::number(item)
                                                          + QStringLiteral(".wav")));
            }
        }

        Session session;
        if (!ready || !session.exposed()) {
            std::fprintf(stderr, "cannot set up the session in %s\n", qPrintable(folder.path()));
            status = 1;
        } else {
            auto *codi = static_cast<QLineEdit *>(session.get("codi"));
            // A point of the hide spot that no control covers.
            const QPoint hideSpot(38, 26);
            int done = 0;
            qint64 afterWarmUp = -1;
            const auto click = [&](const char *control, std::optional<QPoint> at = std::nullopt) {
                session.click(control, at);
                if (++done == warmUp)
                    afterWarmUp = peakKiB();
            };
            QElapsedTimer clock;
            clock.start();
            for (int round = 0; done < clicks; ++round) {
                session.answer(round % 2 ? picture : text);
                click("Command1");
                for (int item = 1; item <= 10; ++item)
                    click(("wav" + QByteArray::number(item)).constData());
                QCoreApplication::processEvents();
                if (session.get("Picture3")->isVisible())
                    click("Picture3", QPoint(5, 5));
                else
                    click("Label3");
                session.doubleClick("Label7");
                ++done;
                session.answer(folder.filePath(round % 2 ? QStringLiteral("good.gif")
                                                         : QStringLiteral("good.jpg")));
                click("dib");
                codi->setFocus();
                QTest::keyClicks(codi, QStringLiteral("kub"));
                session.answer(saved);
                click("Command2");
                click("wav3");
                click("Command4");
                click("Label4", hideSpot);
            }
            const qint64 atEnd = peakKiB();
            if (afterWarmUp <= 0 || atEnd < 0) {
                table.row(name, QStringLiteral("this system does not report it"),
                          QStringLiteral("<= 5 %"), false);
            } else {
                const double growth = 100.0 * double(atEnd - afterWarmUp) / double(afterWarmUp);
                table.row(name,
                          QStringLiteral("%1 %: %2 -> %3 KiB, %4 s%5")
                                  .arg(growth, 0, 'f', 2)
                                  .arg(afterWarmUp)
                                  .arg(atEnd)
                                  .arg(clock.elapsed() / 1000.0, 0, 'f', 1)
                                  .arg(sound ? QString() : QStringLiteral(", no sound")),
                          QStringLiteral("<= 5 %"), growth <= 5.0);
            }
        }
    }
    if (sound)
        QProcess::execute(fixture, {QStringLiteral("stop"), serverDir.path()});
    table.print();
    return status;
}
