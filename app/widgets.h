// SPDX-License-Identifier: GPL-3.0-or-later

// The few kinds of control the window is made of, beyond Qt's own text boxes and buttons.
// They only paint and report clicks; the window decides what a click means.
#pragma once

#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QPushButton>

class QMouseEvent;
class QTimer;

// A click, as the window's controls know it: the left button pressed and released inside.
class ClickTracker
{
public:
    void press(QMouseEvent *event);
    // True when this release completes a click on a widget of the given rectangle.
    bool release(QMouseEvent *event, const QRect &rect);

private:
    bool m_pressed = false;
};

// Labels are painted on their container and receive the clicks that land on their uncovered
// part; a click on a label never reaches the container behind it.
class ClickLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ClickLabel(QWidget *parent = nullptr);

signals:
    void clicked();
    void doubleClicked();
    // Held down for the platform's press-and-hold time: what a finger on a touch panel, which
    // has no double click to speak of, does instead.
    void longPressed();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    ClickTracker m_click;
    QTimer *m_longPress;
};

// A label whose new texts a screen reader says as they come, wherever the keyboard focus is:
// the grade and the final message change while the pupil works elsewhere. Screen readers pass
// over a label's changes unless it has the focus, but present a notification as it appears, so
// a notification is what the label is to them.
class NoticeLabel : public ClickLabel
{
    Q_OBJECT
public:
    explicit NoticeLabel(QWidget *parent = nullptr);
    // Shows the text, and has a screen reader say it now if the label is in sight; one that
    // comes into sight later is said as it comes. An empty text is shown and not said.
    void announce(const QString &text);
};

// Image1: shows its picture over its whole rectangle when the picture was drawn for it, and
// otherwise with its own proportions, centred on the window behind it (pictureArea in
// platform/pictureloader.h). A picture from a file is held decoded for the device pixels it
// covers, and decoded again from the file when those change (the box is resized, or moves to a
// screen of another pixel ratio), so it stays sharp without keeping a photo at the size it was
// taken at. Painting only draws what was decoded.
class ImageBox : public ClickLabel
{
    Q_OBJECT
public:
    explicit ImageBox(QWidget *parent = nullptr);
    // False, with the box as it was, when the file cannot be read as a picture.
    [[nodiscard]] bool showPictureFile(const QString &fileName);
    // A picture already in memory, shown as it is.
    void setImage(const QImage &image);
    void clearPicture();
    QImage image() const { return m_image; }
    // The file the picture was read from, as an absolute path; empty for one given in memory.
    QString fileName() const { return m_fileName; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool event(QEvent *event) override;

private:
    QSize shownPixels() const;
    void decodeForShownPixels();

    QImage m_image;
    // Empty for a picture given in memory, which cannot be decoded again.
    QString m_fileName;
    QSize m_decodedFor;
};

// A button showing a picture from the artwork, and a second one while it is held down, both
// drawn at their design size times the layout's scale.
class PictureButton : public QPushButton
{
    Q_OBJECT
public:
    explicit PictureButton(QWidget *parent = nullptr);
    void setPictures(const QString &picture, const QString &downPicture);
    void setPictureScale(qreal scale);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_picture;
    QString m_downPicture;
    qreal m_pictureScale = 1;
};

// A panel with a border, a background colour and picture, and a client area that holds its
// children, so that they are measured from inside the border and cut off at its edge. The
// picture fills the client area, which the design made the picture's own size.
class PictureBox : public QFrame
{
    Q_OBJECT
public:
    explicit PictureBox(QWidget *parent = nullptr);
    void setPicture(const QString &picture);
    QWidget *clientArea() const { return m_client; }
    // Places the client area inside the border; needed before the box is first shown.
    void layoutClientArea();

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QWidget *m_client;
    QString m_picture;
    ClickTracker m_click;
};
