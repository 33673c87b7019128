// SPDX-License-Identifier: GPL-3.0-or-later

// luvana_screenshots <samples-folder> <output-folder> [--small-screen]: walks the real window along
// the pupil's and the teacher's roads of the user guide and saves a picture of it at each stop. The
// file dialog is answered with the sample dictations, as a user would pick them; everything else is
// a click or a key press on the window. docs/screenshots.sh runs it on an Xvfb display so the
// pictures show the fonts and rendering of an ordinary X desktop. With --small-screen it only
// does a whole dictation in the maximized window, as on a school's small laptop, and saves the
// whole screen, panel and window frame included.
#include "app/application.h"
#include "app/form1.h"
#include "platform/commondialog.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QQueue>
#include <QScreen>
#include <QTest>
#include <QTextStream>

#include <optional>

namespace {

constexpr int kWaitMs = 5000;

class Road
{
public:
    Road(Form1 &window, const QString &outputFolder) : m_window(window), m_output(outputFolder) { }

    QWidget *control(const char *name) const
    {
        return m_window.findChild<QWidget *>(QString::fromLatin1(name));
    }

    void click(const char *name) const
    {
        QWidget *target = control(name);
        QTest::mouseClick(m_window.windowHandle(), Qt::LeftButton, {},
                          target->mapTo(&m_window, target->rect().center()));
    }

    void doubleClick(const char *name) const
    {
        QWidget *target = control(name);
        QTest::mouseDClick(m_window.windowHandle(), Qt::LeftButton, {},
                           target->mapTo(&m_window, target->rect().center()));
    }

    void type(const char *name, const QString &text) const
    {
        QWidget *target = control(name);
        target->setFocus();
        // keyClicks knows only ASCII keys; the guide's texts have accents.
        for (const QChar character : text) {
            if (character == u'\n')
                QTest::keyClick(target, Qt::Key_Return);
            else
                QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(character), {});
        }
    }

    // The grade is written by the timer, a tick after the plays.
    bool waitForGrade() const
    {
        auto *grade = m_window.findChild<QLabel *>(QStringLiteral("Label2"));
        return QTest::qWaitFor([&] { return !grade->text().isEmpty(); }, kWaitMs);
    }

    bool waitUntilVisible(const char *name) const
    {
        QWidget *target = control(name);
        return QTest::qWaitFor([&] { return target->isVisible(); }, kWaitMs);
    }

    bool shoot(const QString &name, bool wholeScreen = false) const
    {
        QCoreApplication::processEvents();
        const QString path = QDir(m_output).absoluteFilePath(name + QStringLiteral(".png"));
        const QPixmap picture = wholeScreen ? m_window.screen()->grabWindow(0) : m_window.grab();
        const bool saved = picture.save(path);
        QTextStream(stdout) << (saved ? "wrote " : "could not write ") << path << '\n';
        return saved;
    }

private:
    Form1 &m_window;
    QString m_output;
};

int fail(const QString &message)
{
    QTextStream(stderr) << "luvana_screenshots: " << message << '\n';
    return 1;
}

// Answers the window's file dialog from a queue, as the user would pick the files.
void answerDialogs(Form1 &window, QQueue<QString> &answers)
{
    window.findChild<CommonDialog *>(QStringLiteral("CMDialog1"))
            ->setChooser([&answers](const CommonDialog::Request &) -> std::optional<QString> {
                if (answers.isEmpty())
                    return std::nullopt;
                return answers.dequeue();
            });
}

bool pupilsRoad(const QDir &samples, const QString &output)
{
    Form1 window;
    QQueue<QString> answers;
    answerDialogs(window, answers);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return false;
    Road road(window, output);
    bool ok = road.shoot(QStringLiteral("inici"));

    // A text dictation, a few plays, the grade.
    answers.enqueue(samples.absoluteFilePath(QStringLiteral("tardor.dtd")));
    road.click("Command1");
    road.click("wav1");
    road.click("wav2");
    road.click("wav2");
    road.click("wav2");
    ok = road.waitForGrade() && ok;
    ok = road.shoot(QStringLiteral("dictat-text")) && ok;

    // A picture dictation.
    answers.enqueue(samples.absoluteFilePath(QStringLiteral("vaixell.dtd")));
    road.click("Command1");
    ok = road.shoot(QStringLiteral("dictat-dibuix")) && ok;

    // Every item of the GIF dictation heard: the final message.
    answers.enqueue(samples.absoluteFilePath(QStringLiteral("jardi.dtd")));
    road.click("Command1");
    for (const char *button : {"wav1", "wav2", "wav3", "wav4", "wav5", "wav6", "wav7"})
        road.click(button);
    ok = road.waitUntilVisible("Picture3") && ok;
    return road.shoot(QStringLiteral("missatge")) && ok;
}

// A pupil on a 1366 x 768 laptop: the window opens maximized, as the program opens it, and
// the final message shows in full.
bool smallScreenRoad(const QDir &samples, const QString &output)
{
    Form1 window;
    QQueue<QString> answers;
    answerDialogs(window, answers);
    window.showMaximized();
    if (!QTest::qWaitForWindowExposed(&window))
        return false;
    QTest::qWait(500); // the window manager frames and maximizes it
    Road road(window, output);
    answers.enqueue(samples.absoluteFilePath(QStringLiteral("jardi.dtd")));
    road.click("Command1");
    for (const char *button : {"wav1", "wav2", "wav3", "wav4", "wav5", "wav6", "wav7"})
        road.click(button);
    return road.waitUntilVisible("Picture3") && road.shoot(QStringLiteral("pantalla-petita"), true);
}

// The teacher starts the program and writes a new dictation in the authoring layout.
bool teachersRoad(const QString &output)
{
    Form1 window;
    QQueue<QString> answers;
    answerDialogs(window, answers);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return false;
    Road road(window, output);
    road.doubleClick("Label7");
    road.type("titol", QStringLiteral("El riu"));
    road.type("Text1",
              QStringLiteral("Després de la pluja, el riu baixa ple d'aigua.\n"
                             "Els ànecs neden a prop de la riba."));
    road.type("Text2", QStringLiteral("Com baixa el riu després de la pluja?"));
    road.type("Text3", QStringLiteral("Quins animals neden al riu?"));
    return road.shoot(QStringLiteral("autor"));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    setUpApplication(app);
    const QStringList args = QCoreApplication::arguments();
    const bool smallScreen = args.size() == 4 && args.at(3) == QLatin1String("--small-screen");
    if (args.size() != 3 && !smallScreen)
        return fail(QStringLiteral(
                "usage: luvana_screenshots <samples-folder> <output-folder> [--small-screen]"));
    if (!QDir().mkpath(args.at(2)))
        return fail(QStringLiteral("cannot create %1").arg(args.at(2)));
    if (smallScreen) {
        if (!smallScreenRoad(QDir(args.at(1)), args.at(2)))
            return fail(QStringLiteral("the small screen's picture was not taken"));
        return 0;
    }

    const bool pupil = pupilsRoad(QDir(args.at(1)), args.at(2));
    const bool teacher = teachersRoad(args.at(2));
    if (!pupil || !teacher)
        return fail(QStringLiteral("not every picture was taken"));
    return 0;
}
