// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/widgets.h"

#include "app/artwork.h"
#include "platform/pictureloader.h"

#include <QAccessibleWidget>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleHints>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTimer>
#include <QtMath>

#include <utility>

void ClickTracker::press(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

bool ClickTracker::release(QMouseEvent *event, const QRect &rect)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton
            && rect.contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    return click;
}

ClickLabel::ClickLabel(QWidget *parent) : QLabel(parent), m_longPress(new QTimer(this))
{
    m_longPress->setSingleShot(true);
    connect(m_longPress, &QTimer::timeout, this, &ClickLabel::longPressed);
}

void ClickLabel::mousePressEvent(QMouseEvent *event)
{
    m_click.press(event);
    if (event->button() == Qt::LeftButton)
        m_longPress->start(QGuiApplication::styleHints()->mousePressAndHoldInterval());
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *event)
{
    m_longPress->stop();
    if (m_click.release(event, rect()))
        emit clicked();
}

void ClickLabel::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
}

namespace {

class NoticeAccessible final : public QAccessibleWidget
{
public:
    explicit NoticeAccessible(QLabel *label) : QAccessibleWidget(label, QAccessible::Notification)
    {
    }
    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name)
            return static_cast<const QLabel *>(widget())->text();
        return QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface *noticeAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String("NoticeLabel"))
        return new NoticeAccessible(static_cast<NoticeLabel *>(object));
    return nullptr;
}

} // namespace

NoticeLabel::NoticeLabel(QWidget *parent) : ClickLabel(parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(noticeAccessible);
        return true;
    }();
    Q_UNUSED(installed);
}

void NoticeLabel::announce(const QString &text)
{
    setText(text);
    // Qt tells a screen reader of every control that comes into sight; one already in sight is
    // told of again, since a notification's coming is what a screen reader says.
    if (isVisible() && !text.trimmed().isEmpty()) {
        QAccessibleEvent event(this, QAccessible::ObjectShow);
        QAccessible::updateAccessibility(&event);
    }
}

ImageBox::ImageBox(QWidget *parent) : ClickLabel(parent) { }

bool ImageBox::showPictureFile(const QString &fileName)
{
    const QSize pixels = shownPixels();
    auto picture = loadPicture(fileName, pixels);
    if (!picture)
        return false;
    m_image = std::move(*picture);
    // Absolute, so that decoding it again does not depend on the current directory then.
    m_fileName = QFileInfo(fileName).absoluteFilePath();
    m_decodedFor = pixels;
    update();
    return true;
}

void ImageBox::setImage(const QImage &image)
{
    m_image = image;
    m_fileName.clear();
    update();
}

void ImageBox::clearPicture()
{
    setImage(QImage());
}

QSize ImageBox::shownPixels() const
{
    const qreal ratio = devicePixelRatio();
    return QSize(qCeil(width() * ratio), qCeil(height() * ratio));
}

void ImageBox::decodeForShownPixels()
{
    const QSize pixels = shownPixels();
    if (m_fileName.isEmpty() || pixels == m_decodedFor)
        return;
    // A file that has gone since leaves the picture as it was decoded, scaled.
    if (auto picture = loadPicture(m_fileName, pixels))
        m_image = std::move(*picture);
    m_decodedFor = pixels;
    update();
}

void ImageBox::resizeEvent(QResizeEvent *event)
{
    ClickLabel::resizeEvent(event);
    decodeForShownPixels();
}

bool ImageBox::event(QEvent *event)
{
    // Qt 6.4 tells a widget that its window moved to another screen, and so perhaps to another
    // pixel ratio, by this event alone.
    if (event->type() == QEvent::ScreenChangeInternal)
        decodeForShownPixels();
    return ClickLabel::event(event);
}

void ImageBox::paintEvent(QPaintEvent *)
{
    if (m_image.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(pictureArea(m_image.size(), rect()), m_image);
}

PictureButton::PictureButton(QWidget *parent) : QPushButton(parent) { }

void PictureButton::setPictures(const QString &picture, const QString &downPicture)
{
    m_picture = picture;
    m_downPicture = downPicture;
    update();
}

void PictureButton::setPictureScale(qreal scale)
{
    m_pictureScale = scale;
    update();
}

void PictureButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    painter.drawControl(QStyle::CE_PushButtonBevel, option);

    const QString &name = isDown() && !m_downPicture.isEmpty() ? m_downPicture : m_picture;
    if (name.isEmpty())
        return;
    const QSize size = (QSizeF(pictureSize(name)) * m_pictureScale).toSize();
    const QPixmap pixmap = artwork(name, size, devicePixelRatioF());
    const QRect target(QPoint(0, 0), size);
    painter.drawPixmap(target.translated(rect().center() - target.center()), pixmap);
}

PictureBox::PictureBox(QWidget *parent) : QFrame(parent), m_client(new QWidget(this))
{
    m_client->setObjectName(QStringLiteral("clientArea"));
}

void PictureBox::setPicture(const QString &picture)
{
    m_picture = picture;
    update();
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    if (!m_picture.isEmpty()) {
        QPainter painter(this);
        const QRect client = contentsRect();
        painter.drawPixmap(client.topLeft(), artwork(m_picture, client.size(), devicePixelRatioF()));
    }
    QFrame::paintEvent(event);
}

void PictureBox::layoutClientArea()
{
    m_client->setGeometry(contentsRect());
}

void PictureBox::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    layoutClientArea();
}

void PictureBox::mousePressEvent(QMouseEvent *event)
{
    m_click.press(event);
}

void PictureBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_click.release(event, rect()))
        emit clicked();
}
