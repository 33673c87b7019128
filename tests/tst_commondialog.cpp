// SPDX-License-Identifier: GPL-3.0-or-later

// CMDialog1: filters, cancels that keep the last name, the current directory following the
// chosen file, and once the real (Qt) dialog driven as a user would.
#include "platform/commondialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

class TestCommonDialog : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_previousDir = QDir::currentPath(); }
    void cleanup() { QDir::setCurrent(m_previousDir); }
    void nameFilters_data();
    void nameFilters();
    void chosenFileSetsNameAndFolder();
    void cancelKeepsLastName();
    void cancelWithoutCancelErrorIsNoFailure();
    void requestCarriesFiltersAndStartFolder();
    void realDialogDrivenOffscreen();

private:
    QString m_previousDir;
};

void TestCommonDialog::nameFilters_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("dictations") << "Dictats (*.dtd)|*.dtd" << QStringList {"Dictats (*.dtd)"};
    QTest::newRow("pictures") << "Imatges (*.jpg)|*.jpg|Imatges (*.gif)|*.gif"
                              << QStringList {"Imatges (*.jpg)", "Imatges (*.gif)"};
    QTest::newRow("several patterns in a pair")
            << "Imatges|*.jpg;*.gif" << QStringList {"Imatges (*.jpg *.gif)"};
    QTest::newRow("a lone description is no pair") << "*.dtd" << QStringList {};
    QTest::newRow("empty") << "" << QStringList {};
}

void TestCommonDialog::nameFilters()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, expected);
    QCOMPARE(CommonDialog::nameFilters(filter), expected);
}

void TestCommonDialog::chosenFileSetsNameAndFolder()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("dictats"));
    const QString chosen = dir.filePath("dictats/animals.dtd");
    QWidget parent;
    CommonDialog dialog(&parent);
    dialog.setChooser([&](const CommonDialog::Request &) { return std::optional(chosen); });
    dialog.CancelError = true;
    QCOMPARE(dialog.show(CommonDialog::Action::Save), CommonDialog::Result::Ok);
    QCOMPARE(dialog.FileName, QDir::toNativeSeparators(chosen));
    QCOMPARE(QDir::currentPath(), QDir(dir.filePath("dictats")).canonicalPath());
}

void TestCommonDialog::cancelKeepsLastName()
{
    QTemporaryDir dir;
    const QString first = dir.filePath("primer.dtd");
    QWidget parent;
    CommonDialog dialog(&parent);
    std::optional<QString> answer = first;
    dialog.setChooser([&](const CommonDialog::Request &) { return answer; });
    dialog.CancelError = true;
    QCOMPARE(dialog.show(CommonDialog::Action::Open), CommonDialog::Result::Ok);

    QDir::setCurrent(QDir::tempPath());
    answer.reset();
    QCOMPARE(dialog.show(CommonDialog::Action::Open), CommonDialog::Result::CancelError);
    QCOMPARE(dialog.FileName, QDir::toNativeSeparators(first));
    QCOMPARE(QDir::currentPath(), QDir(QDir::tempPath()).canonicalPath());
}

void TestCommonDialog::cancelWithoutCancelErrorIsNoFailure()
{
    QWidget parent;
    CommonDialog dialog(&parent);
    dialog.setChooser([](const CommonDialog::Request &) { return std::optional<QString>(); });
    dialog.CancelError = false;
    QCOMPARE(dialog.show(CommonDialog::Action::Open), CommonDialog::Result::Ok);
    QVERIFY(dialog.FileName.isEmpty());
}

void TestCommonDialog::requestCarriesFiltersAndStartFolder()
{
    QTemporaryDir samples;
    QWidget parent;
    CommonDialog dialog(&parent);
    dialog.setInitialDirectory(samples.path());
    std::optional<CommonDialog::Request> seen;
    dialog.setChooser([&](const CommonDialog::Request &request) {
        seen = request;
        return std::optional(samples.filePath("a.dtd"));
    });
    dialog.Filter = "Imatges (*.jpg)|*.jpg|Imatges (*.gif)|*.gif";
    dialog.FilterIndex = 1;
    QCOMPARE(dialog.show(CommonDialog::Action::Open), CommonDialog::Result::Ok);
    QVERIFY(seen);
    QCOMPARE(seen->action, CommonDialog::Action::Open);
    QCOMPARE(seen->nameFilters, (QStringList {"Imatges (*.jpg)", "Imatges (*.gif)"}));
    QCOMPARE(seen->filterIndex, 1);
    QCOMPARE(seen->startFolder, samples.path());

    // Once a dialog has completed, the next one opens where it left off.
    QDir::setCurrent(QDir::tempPath());
    const QString current = QDir::currentPath();
    QCOMPARE(dialog.show(CommonDialog::Action::Save), CommonDialog::Result::Ok);
    QCOMPARE(seen->action, CommonDialog::Action::Save);
    QCOMPARE(seen->startFolder, current);
}

void TestCommonDialog::realDialogDrivenOffscreen()
{
    QTemporaryDir dir;
    // As a Windows teacher may leave them: a dictation is listed whatever the case of its
    // extension, and nothing else is.
    for (const char *name : {"conte.dtd", "ANIMALS.DTD", "Gat.Dtd", "notes.txt", "dtd"}) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    QWidget parent;
    CommonDialog dialog(&parent);
    dialog.setUseNativeDialog(false);
    dialog.setInitialDirectory(dir.path());
    dialog.Filter = "Dictats (*.dtd)|*.dtd";
    dialog.FilterIndex = 1;
    dialog.CancelError = true;

    QString filterShown;
    QStringList listed;
    QTimer::singleShot(0, this, [&] {
        auto *fileDialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        QVERIFY(fileDialog);
        filterShown = fileDialog->findChild<QComboBox *>("fileTypeCombo")->currentText();
        auto *view = fileDialog->findChild<QListView *>("listView");
        QVERIFY(view);
        QVERIFY(QTest::qWaitFor([&] { return view->model()->rowCount(view->rootIndex()) >= 3; }));
        for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
            listed.append(view->model()->index(row, 0, view->rootIndex()).data().toString());
        auto *nameBox = fileDialog->findChild<QLineEdit *>("fileNameEdit");
        QVERIFY(nameBox);
        QTest::keyClicks(nameBox, "ANIMALS.DTD");
        QTest::keyClick(nameBox, Qt::Key_Return);
    });
    QCOMPARE(dialog.show(CommonDialog::Action::Open), CommonDialog::Result::Ok);
    QCOMPARE(filterShown, QStringLiteral("Dictats (*.dtd)"));
    listed.sort();
    QCOMPARE(listed, (QStringList {"ANIMALS.DTD", "Gat.Dtd", "conte.dtd"}));
    QCOMPARE(dialog.FileName, QDir::toNativeSeparators(dir.filePath("ANIMALS.DTD")));

    QTimer::singleShot(0, this, [] {
        auto *fileDialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        QVERIFY(fileDialog);
        fileDialog->reject();
    });
    QCOMPARE(dialog.show(CommonDialog::Action::Open), CommonDialog::Result::CancelError);
    QCOMPARE(dialog.FileName, QDir::toNativeSeparators(dir.filePath("ANIMALS.DTD")));

    // A name typed without an extension is saved with the dialog's default one.
    dialog.DefaultExt = "dtd";
    QTimer::singleShot(0, this, [] {
        auto *fileDialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        QVERIFY(fileDialog);
        auto *nameBox = fileDialog->findChild<QLineEdit *>("fileNameEdit");
        QVERIFY(nameBox);
        QTest::keyClicks(nameBox, "animals");
        QTest::keyClick(nameBox, Qt::Key_Return);
    });
    QCOMPARE(dialog.show(CommonDialog::Action::Save), CommonDialog::Result::Ok);
    QCOMPARE(dialog.FileName, QDir::toNativeSeparators(dir.filePath("animals.dtd")));
}

QTEST_MAIN(TestCommonDialog)
#include "tst_commondialog.moc"
