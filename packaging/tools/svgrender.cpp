// SPDX-License-Identifier: GPL-3.0-or-later

// Renders an SVG drawing to a raster file at a given size: the desktop icons at every hicolor
// size during the build, and the sample dictations' pictures when assets/samples/regenerate.sh
// draws them again. The file format follows the output's suffix (png, jpg). With --ico it
// writes a Windows icon that holds the drawing at several sizes, each as a PNG:
//   luvana_svgrender --ico <out.ico> <in.svg>:<size> ...
#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QStringList>
#include <QSvgRenderer>
#include <QTextStream>

namespace {

constexpr int kJpegQuality = 88;

int fail(const QString &message)
{
    QTextStream(stderr) << "luvana_svgrender: " << message << '\n';
    return 1;
}

QImage render(QSvgRenderer &renderer, int width, int height, bool opaque)
{
    QImage image(width, height, opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    image.fill(opaque ? Qt::white : Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    return image;
}

void putLittleEndian(QByteArray &out, quint32 value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(char((value >> (8 * i)) & 0xff));
}

// An ICO file: a six-byte header, a sixteen-byte entry per picture, then the pictures. Windows
// Vista and later read PNG pictures in it; 256 is written as 0 in the one-byte sizes.
int writeIcon(const QString &out, const QStringList &drawings)
{
    QList<QByteArray> pictures;
    QList<int> sizes;
    for (const QString &drawing : drawings) {
        const qsizetype colon = drawing.lastIndexOf(u':');
        bool sizeOk = false;
        const int size = colon > 0 ? drawing.mid(colon + 1).toInt(&sizeOk) : 0;
        if (!sizeOk || size < 1 || size > 256)
            return fail(QStringLiteral("bad picture %1").arg(drawing));
        QSvgRenderer renderer(drawing.left(colon));
        if (!renderer.isValid())
            return fail(QStringLiteral("cannot read %1").arg(drawing.left(colon)));
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        render(renderer, size, size, false).save(&buffer, "PNG");
        pictures.append(png);
        sizes.append(size);
    }
    QByteArray icon;
    putLittleEndian(icon, 0, 2);
    putLittleEndian(icon, 1, 2);
    putLittleEndian(icon, quint32(pictures.size()), 2);
    quint32 offset = 6 + 16 * quint32(pictures.size());
    for (qsizetype i = 0; i < pictures.size(); ++i) {
        putLittleEndian(icon, sizes.at(i) % 256, 1);
        putLittleEndian(icon, sizes.at(i) % 256, 1);
        putLittleEndian(icon, 0, 2);
        putLittleEndian(icon, 1, 2);
        putLittleEndian(icon, 32, 2);
        putLittleEndian(icon, quint32(pictures.at(i).size()), 4);
        putLittleEndian(icon, offset, 4);
        offset += quint32(pictures.at(i).size());
    }
    for (const QByteArray &png : pictures)
        icon += png;
    QSaveFile file(out);
    if (!file.open(QIODevice::WriteOnly) || file.write(icon) != icon.size() || !file.commit())
        return fail(QStringLiteral("cannot write %1").arg(out));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() >= 4 && args.at(1) == QLatin1String("--ico"))
        return writeIcon(args.at(2), args.mid(3));
    if (args.size() != 5)
        return fail(QStringLiteral("usage: luvana_svgrender <in.svg> <width> <height> <out>"));

    bool widthOk = false;
    bool heightOk = false;
    const int width = args.at(2).toInt(&widthOk);
    const int height = args.at(3).toInt(&heightOk);
    if (!widthOk || !heightOk || width < 1 || height < 1)
        return fail(QStringLiteral("bad size %1 x %2").arg(args.at(2), args.at(3)));

    QSvgRenderer renderer(args.at(1));
    if (!renderer.isValid())
        return fail(QStringLiteral("cannot read %1").arg(args.at(1)));

    // JPEG has no transparency: what the drawing leaves clear comes out white, not black.
    const bool opaque = args.at(4).endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive);
    const QImage image = render(renderer, width, height, opaque);
    if (!image.save(args.at(4), nullptr, opaque ? kJpegQuality : -1))
        return fail(QStringLiteral("cannot write %1").arg(args.at(4)));
    return 0;
}
