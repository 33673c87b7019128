// SPDX-License-Identifier: GPL-3.0-or-later

// The window's new attempt, loading and saving of dictations. A new attempt whose dialog is
// cancelled changes nothing; once a file is chosen, loading goes on step by step whatever fails.
// Saving jumps to its last step (emptying the access code) on any failure.
#include "app/form1.h"

#include "app/widgets.h"
#include "dictation/dictationfile.h"
#include "dictation/format.h"
#include "listening/clippath.h"
#include "platform/commondialog.h"
#include "platform/filecopy.h"
#include "platform/filelookup.h"
#include "platform/startupdictation.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {
const QString kDictationFilter = QStringLiteral("Dictats (*.dtd)|*.dtd");
const QString kDictationNotFetched = QStringLiteral("No s'ha pogut baixar el dictat");
const QString kDictationNotSaved = QStringLiteral("No s'ha pogut desar el dictat");
const QString kPictureNotCopied = QStringLiteral(
        "La imatge no s'ha pogut copiar al costat del dictat");
} // namespace

void Form1::Command1_Click()
{
    // The attempt starts over only once a dictation is chosen: a cancel leaves the window as it
    // was, the texts a teacher has typed and not saved yet and a pupil's grade included.
    chooseDictation([this](const QString &chosen) { startAttempt(chosen); });
}

bool Form1::openGivenDictation(const QString &path)
{
    const QFileInfo file(path);
    if (!file.isFile() || file.suffix().compare(QLatin1String("dtd"), Qt::CaseInsensitive) != 0)
        return false;
    m_cmDialog1->take(path);
    startAttempt(m_cmDialog1->FileName);
    return true;
}

void Form1::startAttempt(const QString &chosen)
{
    showStep(m_exercise.reset());
    m_lent->setChecked(false);
    m_dib->setVisible(false);
    for (int item = 1; item <= 10; ++item)
        playButton(item)->setVisible(true);
    carga(chosen);
    m_picture3->setVisible(false);
}

void Form1::Picture4_Click()
{
    chooseDictation([this](const QString &chosen) {
        carga(chosen);
        m_picture3->setVisible(false);
    });
}

void Form1::chooseDictation(const std::function<void(const QString &chosen)> &chosen)
{
    m_cmDialog1->CancelError = true;
    m_cmDialog1->Filter = kDictationFilter;
    m_cmDialog1->FilterIndex = 1;
    m_cmDialog1->showThen(CommonDialog::Action::Open, [this, chosen](CommonDialog::Result result) {
        if (result == CommonDialog::Result::Ok)
            chosen(m_cmDialog1->FileName);
    });
}

void Form1::openStartupDictation()
{
    StartupDictationCalls calls;
    // What a web server cannot list: each item's clip recorded with no name, and item 1's
    // picture.
    calls.filesBeside = [](const QString &name, const QByteArray &bytes) {
        const dictation::Dictation read = dictation::parse(bytes);
        QStringList files;
        for (int item = 1; item <= 10; ++item) {
            if (read.items.at(std::size_t(item - 1)).isEmpty())
                continue;
            if (const std::optional<QString> clip = listening::clipPath(name, QString(), item))
                files.append(*clip);
        }
        if (dictation::isPictureReference(read.items.front()))
            files.append(dictation::pictureFileName(read.items.front()));
        return files;
    };
    calls.opened = [this](const QString &path) {
        carga(path);
        m_picture3->setVisible(false);
    };
    calls.failed = [this] { tellFailure(kDictationNotFetched); };
    fetchStartupDictation(this, std::move(calls));
}

void Form1::carga(const QString &chosen)
{
    for (int item = 1; item <= 10; ++item)
        itemBox(item)->setEnabled(true);
    for (int item = 1; item <= 10; ++item)
        itemBox(item)->setVisible(true);
    for (int item = 1; item <= 10; ++item)
        setItemText(item, QString());
    setCaption(QStringLiteral("Luvana"));
    arxiu = chosen;

    // A file that cannot be opened reads like an empty one: no title and no items.
    const dictation::Dictation read = dictation::parse(
            dictation::readDictationBytes(arxiu).value_or(QByteArray()));
    m_titol->setText(read.title);
    m_titol->setCursorPosition(0);
    for (int item = 1; item <= 10; ++item)
        frase(item) = read.items.at(std::size_t(item - 1));

    for (int item = 1; item <= 10; ++item) {
        if (frase(item).isEmpty()) {
            itemBox(item)->setVisible(false);
            playButton(item)->setVisible(false);
        }
    }
    m_exercise.load(dictation::countNonEmpty(read));

    if (!frase1.isEmpty()) {
        if (dictation::isPictureReference(frase1)) {
            // The box keeps the picture's name while hidden, so saving again keeps the picture.
            const QString name = dictation::pictureFileName(frase1);
            m_text1->setVisible(false);
            m_text1->setPlainText(name);
            // A picture that cannot be shown leaves the area empty, never showing the picture
            // of the dictation before as if it were this one's.
            if (!m_image1->showPictureFile(findFileIgnoringCase(name).value_or(name)))
                m_image1->clearPicture();
        } else {
            m_text1->setVisible(true);
            m_text1->setPlainText(dictation::textBoxText(frase1));
        }
    }
    for (int item = 2; item <= 10; ++item)
        setItemText(item, frase(item));
}

void Form1::guarda()
{
    setCaption(QStringLiteral("Daz aravoze"));
    m_cmDialog1->CancelError = true;
    m_cmDialog1->Filter = kDictationFilter;
    m_cmDialog1->FilterIndex = 1;
    m_cmDialog1->DefaultExt = QStringLiteral("dtd");
    m_cmDialog1->showThen(CommonDialog::Action::Save, [this](CommonDialog::Result result) {
        if (result == CommonDialog::Result::Ok)
            saveChosen();
        m_codi->setText(QString());
    });
}

void Form1::saveChosen()
{
    arxiu = m_cmDialog1->FileName;
    dictation::DictationTexts texts;
    texts.title = m_titol->text();
    for (int item = 1; item <= 10; ++item)
        texts.texts.at(std::size_t(item - 1)) = itemText(item);
    const QByteArray bytes = dictation::serialize(texts);
    // Written beside the target and renamed over it only when complete: a failed save
    // leaves the previous file as it was, and the caption says it was not saved.
    if (dictation::saveDictationBytes(arxiu, bytes) != dictation::SaveResult::Saved)
        tellFailure(kDictationNotSaved);
    // Item 1 as the file just saved will be read back.
    else if (!putPictureBesideDictation(dictation::parse(bytes).items.front()))
        tellFailure(kPictureNotCopied);
}

bool Form1::putPictureBesideDictation(const QString &item1Block)
{
    if (!dictation::isPictureReference(item1Block))
        return true;
    // The file keeps only the picture's bare name, and loading looks for it beside the
    // dictation, in whatever letter case it lies there.
    const QString name = dictation::pictureFileName(item1Block);
    const QString besideIt = QFileInfo(arxiu).dir().filePath(name);
    const std::optional<QString> there = findFileIgnoringCase(besideIt);
    // Only the picture Image1 shows can be copied, and only when it is the one named.
    const QString shown = m_image1->fileName();
    if (QFileInfo(shown).fileName().compare(name, Qt::CaseInsensitive) != 0)
        return there.has_value();
    const CopyResult copy = copyWithoutReplacing(shown, there.value_or(besideIt));
    return copy == CopyResult::Copied || copy == CopyResult::AlreadyThere;
}
