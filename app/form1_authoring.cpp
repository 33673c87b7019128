// SPDX-License-Identifier: GPL-3.0-or-later

// The teacher's controls: the access code that saves and shows the recorder, keeping and
// discarding a recording, hiding the recorder, the authoring layout and the item-1 picture.
#include "app/form1.h"

#include "app/widgets.h"
#include "authoring/authoring.h"
#include "platform/commondialog.h"
#include "platform/filelookup.h"
#include "platform/filetrash.h"
#include "sound/mediacontrol/mediacontrol.h"

#include <QLineEdit>
#include <QPlainTextEdit>

namespace {
const QString kRecordingNotSaved = QStringLiteral("No s'ha pogut desar l'enregistrament");
const QString kNothingRecorded = QStringLiteral("No hi ha cap enregistrament per desar");
const QString kSilentRecording = QStringLiteral(
        "L'enregistrament és en silenci: comprova el micròfon (es conserva el clip d'abans)");
const QString kClipNotDiscarded = QStringLiteral("No s'ha pogut descartar el clip");
const QString kNoMicrophone = QStringLiteral("No es pot enregistrar: no s'ha trobat cap micròfon");
const QString kMicrophoneRefused = QStringLiteral("No es pot enregistrar: el micròfon no respon");
const QString kNoSoundOutput = QStringLiteral("No es pot reproduir: no hi ha cap sortida de so");
const QString kNoVoiceForText = QStringLiteral(
        "Cap veu no pot llegir aquest text: no s'ha desat res");
const QString kPictureNotShown = QStringLiteral("No s'ha pogut mostrar la imatge triada");
const QString kPictureNameTooLong = QStringLiteral("El nom de la imatge té més de %1 caràcters")
                                            .arg(authoring::kMaxPictureName);
} // namespace

void Form1::Command2_Click()
{
    if (!authoring::accessCodeMatches(m_codi->text()))
        return;
    guarda();
    m_mmControl1->setVisible(true);
    m_command4->setVisible(true);
    m_command3->setVisible(true);
}

void Form1::Command4_Click()
{
    // Kept at arxiuwav even when the press played the clip with no name: a teacher who typed
    // a name records under it, and the clip with no name is left as it was. A clip there in
    // another letter case is the one replaced, so no second file differing only in case
    // appears beside it.
    m_mmControl1->setFileName(findFileIgnoringCase(arxiuwav).value_or(arxiuwav));
    // Nothing open or nothing recorded loses nothing; a recording that could not be written
    // stays in the recorder, and the caption says so until a keep succeeds.
    using Result = MediaControl::CommandResult;
    switch (m_mmControl1->runCommand(QStringLiteral("Save"))) {
    case Result::Done:
        clearFailure(Failure::Recording);
        break;
    case Result::WriteFailed:
        showFailure(Failure::Recording, kRecordingNotSaved);
        break;
    case Result::SilentRecording:
        showFailure(Failure::Recording, kSilentRecording);
        break;
    default:
        // Nothing open, or nothing recorded since the clip was opened or last kept.
        showFailure(Failure::Recording, kNothingRecorded);
        break;
    }
}

void Form1::Command3_Click()
{
    m_mmControl1->setCommand(QStringLiteral("close"));
    // The strip is within a pupil's reach: a discarded clip goes to the trash, never gone. It is
    // the clip that keeping would have replaced, in whatever letter case it lies there. A clip
    // the trash refuses stays where it was, the pupil still hears it, and the caption says so.
    // With no clip there, nothing was to be discarded and nothing went wrong.
    const TrashResult trashed = moveFileToTrash(findFileIgnoringCase(arxiuwav).value_or(arxiuwav));
    if (trashed == TrashResult::Failed)
        showFailure(Failure::Recording, kClipNotDiscarded);
    else
        clearFailure(Failure::Recording);
}

void Form1::recorderFailed(recorder::Command command, recorder::Result result)
{
    using recorder::Result;
    if (result != Result::NoDevice && result != Result::DeviceRefused)
        return;
    if (command == recorder::Command::Record)
        showFailure(Failure::Sound, result == Result::NoDevice ? kNoMicrophone : kMicrophoneRefused);
    else
        showFailure(Failure::Sound, kNoSoundOutput);
}

void Form1::voiceFinished(bool spoken)
{
    if (spoken)
        clearFailure(Failure::Voice);
    else
        showFailure(Failure::Voice, kNoVoiceForText);
}

void Form1::Label4_Click()
{
    m_mmControl1->setVisible(false);
    m_command4->setVisible(false);
    m_command3->setVisible(false);
}

void Form1::codi_Change() { }

void Form1::Label7_DblClick()
{
    m_dib->setVisible(true);
    for (int item = 1; item <= 10; ++item)
        itemBox(item)->setEnabled(true);
    for (int item = 1; item <= 10; ++item)
        itemBox(item)->setVisible(true);
    for (int item = 1; item <= 10; ++item)
        playButton(item)->setVisible(true);
}

void Form1::dib_Click()
{
    // A cancel changes nothing: the dialog's last name may be a dictation's or an older
    // picture's, and the text the teacher typed into Text1 must not give way to it.
    m_cmDialog1->CancelError = true;
    m_cmDialog1->Filter = QStringLiteral("Imatges (*.jpg)|*.jpg|Imatges (*.gif)|*.gif");
    m_cmDialog1->FilterIndex = 1;
    m_cmDialog1->showThen(CommonDialog::Action::Open, [this](CommonDialog::Result result) {
        if (result == CommonDialog::Result::Ok)
            pictureChosen();
    });
}

void Form1::pictureChosen()
{
    setCaption(QStringLiteral("Luvana"));

    // A picture that could not be named or shown is refused, and item 1 stays as it was: its
    // text, or the picture it had, which the box goes on showing as its own.
    const authoring::PictureName picked = authoring::pictureName(m_cmDialog1->FileName);
    switch (picked.status) {
    case authoring::PictureName::Status::EmptyPath:
        return;
    case authoring::PictureName::Status::TooLong:
        tellFailure(kPictureNameTooLong);
        return;
    case authoring::PictureName::Status::Named:
        break;
    }
    if (!m_image1->showPictureFile(picked.name)) {
        tellFailure(kPictureNotShown);
        return;
    }
    m_text1->setPlainText(picked.name);
    m_text1->setVisible(false);
}
