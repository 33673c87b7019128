// SPDX-License-Identifier: GPL-3.0-or-later

// Clips without a sound device: decoding every WAV encoding, the 16-bit writer, the save
// that never loses a clip, and the arithmetic the player and the meter rely on.
#include "sound/audiomodule/audioclip.h"
#include "sound/audiomodule/wavfile.h"
#include "sound/engine/voice.h"
#include "sound/mediacontrol/mediacontrol.h"
#include "sound/mediacontrol/recorderbar.h"
#include "support/soundclips.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <limits>

using namespace soundclips;

class TestAudioClip : public QObject
{
    Q_OBJECT
private slots:
    void readsEveryEncoding_data();
    void readsEveryEncoding();
    void refusesWhatIsNotAudio_data();
    void refusesWhatIsNotAudio();
    void tellsMissingFromUnreadable();
    void refusesClipsTooLongToHold();
    void refusesFilesTooLargeWithoutReadingThem();
    void listsThatWouldHangTheDecoder_data();
    void listsThatWouldHangTheDecoder();
    void readsWavStreamedIntoAPipe_data();
    void readsWavStreamedIntoAPipe();
    void replacesNonFiniteSamples();

    void writesSixteenBitPcm_data();
    void writesSixteenBitPcm();
    void refusesToWriteNothing();

    void saveNeverLosesAClip_data();
    void saveNeverLosesAClip();

    void convertsForADevice_data();
    void convertsForADevice();
    void sampleBytesRoundTrip_data();
    void sampleBytesRoundTrip();
    void clipsOutOfRangeSamples();
    void findsFrames_data();
    void findsFrames();
    void showsElapsedTime_data();
    void showsElapsedTime();

    void keepsRecordingsTrimmedAndEven_data();
    void keepsRecordingsTrimmedAndEven();
    void writesTextAsFestivalReadsIt_data();
    void writesTextAsFestivalReadsIt();
};

namespace {

float maxDifference(const AudioClip &a, const AudioClip &b)
{
    float diff = 0;
    for (qsizetype i = 0; i < std::min(a.samples.size(), b.samples.size()); ++i)
        diff = std::max(diff, std::abs(a.samples[i] - b.samples[i]));
    return diff;
}

QByteArray word32(quint32 value, bool bigEndian)
{
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[bigEndian ? 3 - i : i] = char(value >> (8 * i) & 0xFF);
    return bytes;
}

QByteArray word16(quint16 value, bool bigEndian)
{
    return word32(value, bigEndian).mid(bigEndian ? 2 : 0, 2);
}

QByteArray chunk(const char *marker, const QByteArray &body, bool bigEndian = false)
{
    return marker + word32(quint32(body.size()), bigEndian) + body;
}

// 0.1 s of 16-bit mono sound at 8000 Hz, with `before` between the format and the sound and
// `after` behind it, as RIFF or as big-endian RIFX.
QByteArray wavWith(const QByteArray &before, const QByteArray &after = {}, bool bigEndian = false)
{
    const QByteArray format = word16(1, bigEndian) + word16(1, bigEndian) + word32(8000, bigEndian)
            + word32(16000, bigEndian) + word16(2, bigEndian) + word16(16, bigEndian);
    QByteArray sound;
    for (int i = 0; i < 800; ++i)
        sound += word16(quint16((i / 10) % 2 ? 0xE000 : 0x2000), bigEndian);
    const QByteArray body = "WAVE" + chunk("fmt ", format, bigEndian) + before
            + chunk("data", sound, bigEndian) + after;
    return (bigEndian ? "RIFX" : "RIFF") + word32(quint32(body.size()), bigEndian) + body;
}

} // namespace

void TestAudioClip::readsEveryEncoding_data()
{
    QTest::addColumn<int>("subtype");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<float>("tolerance");

    QTest::newRow("8-bit unsigned, mono, 11025 Hz") << int(SF_FORMAT_PCM_U8) << 11025 << 1 << 0.01f;
    QTest::newRow("16-bit, mono, 44100 Hz") << int(SF_FORMAT_PCM_16) << 44100 << 1 << 1e-4f;
    QTest::newRow("16-bit, stereo, 48000 Hz") << int(SF_FORMAT_PCM_16) << 48000 << 2 << 1e-4f;
    QTest::newRow("24-bit, mono, 96000 Hz") << int(SF_FORMAT_PCM_24) << 96000 << 1 << 1e-6f;
    QTest::newRow("32-bit, stereo, 22050 Hz") << int(SF_FORMAT_PCM_32) << 22050 << 2 << 1e-6f;
    QTest::newRow("float, mono, 48000 Hz") << int(SF_FORMAT_FLOAT) << 48000 << 1 << 0.0f;
    QTest::newRow("µ-law, mono, 8000 Hz") << int(SF_FORMAT_ULAW) << 8000 << 1 << 0.02f;
    QTest::newRow("A-law, mono, 8000 Hz") << int(SF_FORMAT_ALAW) << 8000 << 1 << 0.02f;
    // ADPCM takes a few samples to adapt to the signal: judged by its energy alone.
    QTest::newRow("IMA ADPCM, mono, 22050 Hz") << int(SF_FORMAT_IMA_ADPCM) << 22050 << 1 << -1.0f;
    QTest::newRow("MS ADPCM, stereo, 44100 Hz") << int(SF_FORMAT_MS_ADPCM) << 44100 << 2 << -1.0f;
}

void TestAudioClip::readsEveryEncoding()
{
    QFETCH(int, subtype);
    QFETCH(int, rate);
    QFETCH(int, channels);
    QFETCH(float, tolerance);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("clip.wav"));
    const AudioClip source = tone(rate, channels, 0.3, 0.5f, channels > 1);
    QVERIFY(writeWav(path, source, subtype));

    const ClipReadResult read = readClipFile(path);
    QCOMPARE(read.error, ClipReadError::None);
    QCOMPARE(read.clip.sampleRate, rate);
    QCOMPARE(read.clip.channelCount, channels);
    // ADPCM comes in whole blocks, so the last one may run past the end of the sound.
    QVERIFY(read.clip.frameCount() >= source.frameCount());
    QVERIFY(read.clip.frameCount() < source.frameCount() + 2048);
    if (tolerance >= 0) {
        QVERIFY2(maxDifference(read.clip, source) <= tolerance,
                 qPrintable(QString::number(maxDifference(read.clip, source))));
    }
    AudioClip sound = read.clip;
    sound.samples.resize(source.samples.size());
    QVERIFY(std::abs(energy(sound) - energy(source)) <= 0.05 * energy(source));
    QVERIFY(std::abs(peak(sound) - peak(source)) <= 0.1f * peak(source));
}

void TestAudioClip::refusesWhatIsNotAudio_data()
{
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("a dictation file") << QByteArray("Animals\r\nEl gat dorm.\r\n");
    QTest::newRow("a RIFF header and nothing else") << QByteArray("RIFF\x24\0\0\0WAVE", 12);
    QTest::newRow("a JPEG picture") << QByteArray("\xff\xd8\xff\xe0\0\x10JFIF\0", 11);
}

void TestAudioClip::refusesWhatIsNotAudio()
{
    QFETCH(QByteArray, bytes);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const ClipReadResult read = readClip(buffer);
    QCOMPARE(read.error, ClipReadError::NotAudio);
    QVERIFY(read.clip.isEmpty());
}

void TestAudioClip::tellsMissingFromUnreadable()
{
    QTemporaryDir dir;
    QCOMPARE(readClipFile(QString()).error, ClipReadError::NoFile);
    QCOMPARE(readClipFile(dir.filePath(QStringLiteral("animals-anna3.wav"))).error,
             ClipReadError::NoFile);
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("animals-anna4.wav")));
    QCOMPARE(readClipFile(dir.filePath(QStringLiteral("animals-anna4.wav"))).error,
             ClipReadError::Unreadable);
}

void TestAudioClip::refusesClipsTooLongToHold()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.wav"));
    AudioClip silence;
    silence.sampleRate = 8000;
    silence.channelCount = 1;
    silence.samples.resize((kMaxClipUSecs / 1000000 + 1) * 8000);
    QVERIFY(writeWav(path, silence, SF_FORMAT_PCM_U8));
    const ClipReadResult read = readClipFile(path);
    QCOMPARE(read.error, ClipReadError::TooLong);
    QVERIFY(read.clip.samples.isEmpty());
}

void TestAudioClip::refusesFilesTooLargeWithoutReadingThem()
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("huge.wav")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write(wavWith({})) > 0);
    // Sparse: no disk is written, and a reader that tried to hold it would ask for 4 GiB.
    QVERIFY(file.resize(qint64(4) << 30));
    file.close();
    const ClipReadResult read = readClipFile(file.fileName());
    QCOMPARE(read.error, ClipReadError::TooLong);
}

// libsndfile counts what it reads of a list in 32 bits, and an entry of nearly 4 GiB makes it
// loop for ever: such a file must be refused before it gets there, wherever the list lies and
// whatever the byte order, while lists that libsndfile reads safely still play.
void TestAudioClip::listsThatWouldHangTheDecoder_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("plays");

    const QByteArray runaway = "IN\xa5\xb4" + word32(0xFFFFFFF7, false);
    const QByteArray title = chunk("INAM", QByteArray("T\xedtol\0", 6));

    QTest::newRow("tags") << wavWith(chunk("LIST", "INFO" + title)) << true;
    QTest::newRow("tags after the sound") << wavWith({}, chunk("LIST", "INFO" + title)) << true;
    QTest::newRow("an entry a little longer than its list")
            << wavWith(chunk("LIST", "INFO" + title + "IXYZ" + word32(40, false))) << true;
    QTest::newRow("an entry of 4 GiB less one, which libsndfile rounds to nothing")
            << wavWith(chunk("LIST", "INFO" + QByteArray("IXYZ") + word32(0xFFFFFFFF, false)))
            << true;
    QTest::newRow("a text entry of nearly 4 GiB, which libsndfile refuses to read")
            << wavWith(chunk("LIST", "INFO" + QByteArray("INAM") + word32(0xFFFFFFF7, false)))
            << true;
    QTest::newRow("sound that spells LIST")
            << wavWith({}, "LIST" + word32(12, false) + "JUNK") << true;

    QTest::newRow("an entry of nearly 4 GiB") << wavWith(chunk(
            "LIST", QByteArray("IN\xa5\xb4") + word32(0xFFFFFFF7, false) + QByteArray(12, '\xff')))
                                              << false;
    QTest::newRow("the same after a good entry")
            << wavWith(chunk("LIST", "INFO" + title + runaway)) << false;
    QTest::newRow("the same behind the sound")
            << wavWith({}, chunk("LIST", "INFO" + runaway)) << false;
    QTest::newRow("the same in an INFO chunk of its own")
            << wavWith(chunk("INFO", runaway + runaway)) << false;
    QTest::newRow("the same after camera data")
            << wavWith(chunk("LIST", "exif" + QByteArray("emdl") + word32(9000, false) + runaway))
            << false;
    QTest::newRow("the same, big-endian") << wavWith(
            chunk("LIST", "INFO" + QByteArray("IXYZ") + word32(0xFFFFFFF7, true), true), {}, true)
                                          << false;
    QByteArray many;
    for (int i = 0; i < 17; ++i)
        many += chunk("LIST", "INFO" + title);
    QTest::newRow("more lists than a clip has") << wavWith(many) << false;
}

void TestAudioClip::listsThatWouldHangTheDecoder()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, plays);

    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const ClipReadResult read = readClip(buffer);
    QCOMPARE(read.error, plays ? ClipReadError::None : ClipReadError::NotAudio);
    QCOMPARE(read.clip.frameCount(), plays ? 800 : 0);
}

void TestAudioClip::readsWavStreamedIntoAPipe_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("frames");

    const QByteArray whole = wavWith({});
    const qsizetype header = whole.indexOf("data") + 8;
    QByteArray streamed = whole;
    streamed.replace(4, 4, word32(0, false)).replace(header - 4, 4, word32(0, false));
    QByteArray otherHeader = whole.first(header);
    otherHeader.replace(header - 4, 4, word32(1000, false));

    QTest::newRow("a whole file, as it is") << whole << qint64(800);
    QTest::newRow("sizes left 0") << streamed << qint64(800);
    QTest::newRow("sizes left 0, the header again behind the sound (text2wave)")
            << streamed + whole.first(header) << qint64(800);
    QTest::newRow("behind the sound, a header whose size does not match: sound")
            << streamed + otherHeader << qint64(800 + header / 2);
}

void TestAudioClip::readsWavStreamedIntoAPipe()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, frames);

    QBuffer buffer;
    buffer.setData(withStreamedSizes(bytes));
    buffer.open(QIODevice::ReadOnly);
    const ClipReadResult read = readClip(buffer);
    QCOMPARE(read.error, ClipReadError::None);
    QCOMPARE(read.clip.frameCount(), frames);
}

void TestAudioClip::replacesNonFiniteSamples()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("nan.wav"));
    AudioClip clip;
    clip.sampleRate = 8000;
    clip.channelCount = 1;
    clip.samples = {0.25f, std::numeric_limits<float>::quiet_NaN(),
                    std::numeric_limits<float>::infinity(), -0.25f};
    QVERIFY(writeWav(path, clip, SF_FORMAT_FLOAT));
    const ClipReadResult read = readClipFile(path);
    QCOMPARE(read.error, ClipReadError::None);
    QCOMPARE(read.clip.samples, QList<float>({0.25f, 0.0f, 0.0f, -0.25f}));
}

void TestAudioClip::writesSixteenBitPcm_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");

    QTest::newRow("mono, 44100 Hz, as the recorder makes it") << 44100 << 1;
    QTest::newRow("stereo, 48000 Hz, as some devices force it") << 48000 << 2;
}

void TestAudioClip::writesSixteenBitPcm()
{
    QFETCH(int, rate);
    QFETCH(int, channels);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kept.wav"));
    const AudioClip source = tone(rate, channels, 0.25, 0.5f, channels > 1);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(writeWav16(source, file), ClipWriteError::None);
    file.close();

    const WavInfo written = readWav(path);
    QCOMPARE(written.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    QCOMPARE(written.sampleRate, rate);
    QCOMPARE(written.channels, channels);
    QCOMPARE(written.clip.frameCount(), source.frameCount());
    QVERIFY(maxDifference(written.clip, source) <= 1.0f / 32768);
}

void TestAudioClip::refusesToWriteNothing()
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    AudioClip empty;
    empty.sampleRate = 44100;
    empty.channelCount = 1;
    QCOMPARE(writeWav16(empty, buffer), ClipWriteError::Rejected);
    QCOMPARE(writeWav16(AudioClip(), buffer), ClipWriteError::Rejected);
    QVERIFY(buffer.data().isEmpty());
}

void TestAudioClip::saveNeverLosesAClip_data()
{
    QTest::addColumn<bool>("existing");
    QTest::addColumn<bool>("trashWorks");
    QTest::addColumn<bool>("folderExists");
    QTest::addColumn<ClipSaveResult>("expected");

    QTest::newRow("new clip") << false << true << true << ClipSaveResult::Saved;
    QTest::newRow("over a clip, which goes to the trash")
            << true << true << true << ClipSaveResult::Saved;
    QTest::newRow("over a clip the trash will not take")
            << true << false << true << ClipSaveResult::OldClipKept;
    QTest::newRow("into a folder that is gone")
            << false << true << false << ClipSaveResult::WriteFailed;
}

void TestAudioClip::saveNeverLosesAClip()
{
    QFETCH(bool, existing);
    QFETCH(bool, trashWorks);
    QFETCH(bool, folderExists);
    QFETCH(ClipSaveResult, expected);

    QTemporaryDir dir;
    QDir root(dir.path());
    QVERIFY(root.mkpath(QStringLiteral("home/data")));
    const PrivateHome home(root.filePath(QStringLiteral("home")),
                           root.filePath(QStringLiteral("home/data")));
    const TrashFunction refuse = [](const QString &) { return TrashResult::Failed; };

    const QString folder = root.filePath(QStringLiteral("dictats"));
    if (folderExists)
        QVERIFY(root.mkdir(QStringLiteral("dictats")));
    const QString path = folder + QStringLiteral("/animals-anna3.wav");
    const AudioClip old = tone(8000, 1, 0.1, 0.25f);
    if (existing)
        QVERIFY(writeWav(path, old, SF_FORMAT_PCM_U8));
    const QByteArray oldBytes = [&] {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();

    const AudioClip recording = tone(44100, 1, 0.2, 0.5f);
    QCOMPARE(saveClipFile(recording, path, trashWorks ? moveFileToTrash : refuse), expected);

    QFile result(path);
    if (expected == ClipSaveResult::Saved) {
        const WavInfo kept = readWav(path);
        QCOMPARE(kept.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
        QCOMPARE(kept.clip.frameCount(), recording.frameCount());
    } else if (existing) {
        QVERIFY(result.open(QIODevice::ReadOnly));
        QCOMPARE(result.readAll(), oldBytes);
    } else {
        QVERIFY(!result.exists());
    }
    if (existing && expected == ClipSaveResult::Saved) {
        QFile trashed(root.filePath(QStringLiteral("home/data/Trash/files/animals-anna3.wav")));
        QVERIFY(trashed.open(QIODevice::ReadOnly));
        QCOMPARE(trashed.readAll(), oldBytes);
    }
    // Nothing half-written is left beside the clip.
    if (folderExists) {
        const QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(left,
                 existing || expected == ClipSaveResult::Saved
                         ? QStringList {QStringLiteral("animals-anna3.wav")}
                         : QStringList());
    }
}

void TestAudioClip::convertsForADevice_data()
{
    QTest::addColumn<QList<float>>("samples");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<qint64>("fromFrame");
    QTest::addColumn<int>("toRate");
    QTest::addColumn<int>("toChannels");
    QTest::addColumn<QList<float>>("expected");

    const QList<float> ramp {0.0f, 0.2f, 0.4f, 0.6f};
    const QList<float> stereo {0.2f, -0.2f, 0.4f, 0.0f};
    QTest::newRow("same format") << ramp << 8000 << 1 << qint64(0) << 8000 << 1 << ramp;
    QTest::newRow("from the third frame")
            << ramp << 8000 << 1 << qint64(2) << 8000 << 1 << QList<float> {0.4f, 0.6f};
    QTest::newRow("past the end") << ramp << 8000 << 1 << qint64(9) << 8000 << 1 << QList<float> {};
    QTest::newRow("mono to both channels") << QList<float> {0.5f, -0.5f} << 8000 << 1 << qint64(0)
                                           << 8000 << 2 << QList<float> {0.5f, 0.5f, -0.5f, -0.5f};
    QTest::newRow("stereo to mono averages")
            << stereo << 8000 << 2 << qint64(0) << 8000 << 1 << QList<float> {0.0f, 0.2f};
    QTest::newRow("stereo to four channels repeats the last")
            << QList<float> {0.1f, 0.2f} << 8000 << 2 << qint64(0) << 8000 << 4
            << QList<float> {0.1f, 0.2f, 0.2f, 0.2f};
    QTest::newRow("double rate interpolates")
            << ramp << 8000 << 1 << qint64(0) << 16000 << 1
            << QList<float> {0.0f, 0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.6f};
    QTest::newRow("half rate skips")
            << ramp << 16000 << 1 << qint64(0) << 8000 << 1 << QList<float> {0.0f, 0.4f};
}

void TestAudioClip::convertsForADevice()
{
    QFETCH(QList<float>, samples);
    QFETCH(int, rate);
    QFETCH(int, channels);
    QFETCH(qint64, fromFrame);
    QFETCH(int, toRate);
    QFETCH(int, toChannels);
    QFETCH(QList<float>, expected);

    AudioClip clip;
    clip.sampleRate = rate;
    clip.channelCount = channels;
    clip.samples = samples;
    const AudioClip out = convertedClip(clip, fromFrame, toRate, toChannels);
    QCOMPARE(out.sampleRate, toRate);
    QCOMPARE(out.channelCount, toChannels);
    QCOMPARE(out.samples.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i)
        QVERIFY2(std::abs(out.samples[i] - expected[i]) < 1e-6f, qPrintable(QString::number(i)));
}

void TestAudioClip::sampleBytesRoundTrip_data()
{
    QTest::addColumn<QAudioFormat::SampleFormat>("format");
    QTest::addColumn<float>("step");

    QTest::newRow("8-bit unsigned") << QAudioFormat::UInt8 << 1.0f / 128;
    QTest::newRow("16-bit") << QAudioFormat::Int16 << 1.0f / 32768;
    QTest::newRow("32-bit") << QAudioFormat::Int32 << 1e-7f;
    QTest::newRow("float") << QAudioFormat::Float << 0.0f;
}

void TestAudioClip::sampleBytesRoundTrip()
{
    QFETCH(QAudioFormat::SampleFormat, format);
    QFETCH(float, step);

    const QList<float> samples {0.0f, 0.5f, -0.5f, 0.999f, -1.0f, 0.123f};
    const QByteArray bytes = samplesToBytes(samples.constData(), samples.size(), format);
    QAudioFormat audio;
    audio.setSampleFormat(format);
    QCOMPARE(bytes.size(), samples.size() * audio.bytesPerSample());
    const QList<float> back = bytesToSamples(bytes, format);
    QCOMPARE(back.size(), samples.size());
    for (qsizetype i = 0; i < samples.size(); ++i)
        QVERIFY2(std::abs(back[i] - samples[i]) <= step, qPrintable(QString::number(i)));
    // Silence is the middle of the range, which for unsigned bytes is 128, not 0.
    QCOMPARE(bytesToSamples(samplesToBytes(samples.constData(), 1, format), format).value(0), 0.0f);
}

void TestAudioClip::clipsOutOfRangeSamples()
{
    const QList<float> loud {1.5f, -1.5f, std::numeric_limits<float>::quiet_NaN()};
    const QList<float> back = bytesToSamples(
            samplesToBytes(loud.constData(), loud.size(), QAudioFormat::Int16), QAudioFormat::Int16);
    QCOMPARE(back, QList<float>({32767 / 32768.0f, -1.0f, 0.0f}));
}

void TestAudioClip::findsFrames_data()
{
    QTest::addColumn<qint64>("usecs");
    QTest::addColumn<qint64>("frame");

    QTest::newRow("before the start") << qint64(-5) << qint64(0);
    QTest::newRow("the start") << qint64(0) << qint64(0);
    QTest::newRow("between two frames rounds up") << qint64(100) << qint64(1);
    QTest::newRow("exactly on a frame") << qint64(250000) << qint64(2000);
    QTest::newRow("past the end") << qint64(5000000) << qint64(8000);
}

void TestAudioClip::findsFrames()
{
    QFETCH(qint64, usecs);
    QFETCH(qint64, frame);
    const AudioClip clip = tone(8000, 2, 1.0, 0.5f);
    QCOMPARE(clip.durationUSecs(), qint64(1000000));
    QCOMPARE(clip.frameAt(usecs), frame);
}

void TestAudioClip::showsElapsedTime_data()
{
    QTest::addColumn<qint64>("msecs");
    QTest::addColumn<QString>("text");

    QTest::newRow("nothing yet") << qint64(0) << QStringLiteral("0:00");
    QTest::newRow("seconds are whole") << qint64(7950) << QStringLiteral("0:07");
    QTest::newRow("minutes") << qint64(750000) << QStringLiteral("12:30");
    QTest::newRow("never negative") << qint64(-300) << QStringLiteral("0:00");
}

void TestAudioClip::showsElapsedTime()
{
    QFETCH(qint64, msecs);
    QFETCH(QString, text);
    QCOMPARE(elapsedText(msecs), text);
}

void TestAudioClip::keepsRecordingsTrimmedAndEven_data()
{
    QTest::addColumn<int>("channels");
    QTest::addColumn<double>("before");
    QTest::addColumn<float>("amplitude"); // of a 2-second tone, the voice
    QTest::addColumn<bool>("spike");      // one sample at 0.9 in the middle of it
    QTest::addColumn<double>("after");
    QTest::addColumn<float>("hiss");
    QTest::addColumn<double>("keptSeconds");
    QTest::addColumn<double>("keptLufs"); // NaN: left as loud as it was

    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("a second of silence either side, at -30 dBFS")
            << 1 << 1.0 << 0.0316f << false << 1.0 << 0.0f << 2.3 << kTargetLufs;
    QTest::newRow("a noisy room either side")
            << 1 << 1.0 << 0.3f << false << 1.5 << 0.01f << 2.3 << kTargetLufs;
    QTest::newRow("silence only before, stereo")
            << 2 << 0.8 << 0.3f << false << 0.0 << 0.0f << 2.15 << kTargetLufs;
    QTest::newRow("the voice from start to end")
            << 1 << 0.0 << 0.3f << false << 0.0 << 0.0f << 2.0 << kTargetLufs;
    QTest::newRow("loud, brought down")
            << 1 << 0.5 << 0.99f << false << 0.5 << 0.0f << 2.3 << kTargetLufs;
    QTest::newRow("quiet with a click: the peak holds it back")
            << 1 << 0.5 << 0.01f << true << 0.5 << 0.0f << 2.3 << nan;
    // Nothing to tell voice from room by: nothing is cut, and no hiss is raised.
    QTest::newRow("silence only") << 1 << 1.0 << 0.0f << false << 1.0 << 0.0f << 2.0 << nan;
    QTest::newRow("too short to measure") << 1 << 0.0 << 0.0f << false << 0.2 << 0.3f << 0.2 << nan;
}

void TestAudioClip::keepsRecordingsTrimmedAndEven()
{
    QFETCH(int, channels);
    QFETCH(double, before);
    QFETCH(float, amplitude);
    QFETCH(bool, spike);
    QFETCH(double, after);
    QFETCH(float, hiss);
    QFETCH(double, keptSeconds);
    QFETCH(double, keptLufs);

    constexpr int kRate = 44100;
    AudioClip voice = tone(kRate, channels, amplitude > 0 ? 2.0 : 0.0, amplitude);
    if (spike)
        voice.samples[voice.samples.size() / 2] = 0.9f;
    const AudioClip recorded = spokenInARoom(kRate, channels, before, voice, after, hiss);
    const AudioClip kept = keptRecording(recorded);

    QCOMPARE(kept.sampleRate, kRate);
    QCOMPARE(kept.channelCount, channels);
    QVERIFY2(std::abs(kept.durationUSecs() / 1e6 - keptSeconds) <= 0.02,
             qPrintable(QString::number(kept.durationUSecs() / 1e6)));
    const float ceiling = float(std::pow(10.0, kPeakCeilingDbfs / 20)) + 1e-5f;
    QVERIFY(peak(kept) <= ceiling);
    const std::optional<double> loudness = integratedLoudness(kept);
    if (std::isnan(keptLufs)) {
        // Only ever made quieter, or raised no further than the peak allows.
        QVERIFY(peak(kept) <= std::max(peak(recorded), ceiling));
        QVERIFY(!loudness || *loudness < kTargetLufs);
    } else {
        QVERIFY(loudness);
        QVERIFY2(std::abs(*loudness - keptLufs) <= 0.5, qPrintable(QString::number(*loudness)));
    }
}

void TestAudioClip::writesTextAsFestivalReadsIt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("Catalan letters, one byte each")
            << QStringLiteral("És l\u00b7l àèéíïòóúüç")
            << QByteArray("\xc9s l\xb7l \xe0\xe8\xe9\xed\xef\xf2\xf3\xfa\xfc\xe7");
    QTest::newRow("a word processor's apostrophe and quotes")
            << QStringLiteral("L\u2019arbre \u201cgran\u201d \u2014 i\u2026")
            << QByteArray("L'arbre \"gran\" - i...");
    QTest::newRow("ela geminada as one letter")
            << QStringLiteral("co\u0140legi") << QByteArray("col\xb7legi");
    QTest::newRow("where ISO-8859-15 is not Latin-1")
            << QStringLiteral("5 \u20ac, \u00a4") << QByteArray("5 \xa4,  ");
    QTest::newRow("lines kept, tabs and emoji blank")
            << QStringLiteral("Un\n\tdos \U0001F600") << QByteArray("Un\n dos   ");
}

void TestAudioClip::writesTextAsFestivalReadsIt()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(festivalText(text), bytes);
}

QTEST_GUILESS_MAIN(TestAudioClip)
#include "tst_audioclip.moc"
