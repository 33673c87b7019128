// SPDX-License-Identifier: GPL-3.0-or-later

// Renders an SVG drawing to a raster file at a given size: the desktop icons at every hicolor
// size during the build, and the sample dictations' pictures when assets/samples/regenerate.sh
// draws them again. The file format follows the output's suffix (png, jpg).
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
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

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
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
    QImage image(width, height, opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    image.fill(opaque ? Qt::white : Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();

    if (!image.save(args.at(4), nullptr, opaque ? kJpegQuality : -1))
        return fail(QStringLiteral("cannot write %1").arg(args.at(4)));
    return 0;
}
