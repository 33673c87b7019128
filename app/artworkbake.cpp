// SPDX-License-Identifier: GPL-3.0-or-later

// Build tool: writes the C++ source that holds the first frame's pictures as pixels.
//   luvana_artworkbake <folder of the SVG drawings> <out.cpp>
#include "app/artworklist.h"
#include "app/artworkrender.h"

#include <QCoreApplication>
#include <QDir>
#include <QSaveFile>
#include <QStringList>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    QTextStream err(stderr);
    if (args.size() != 3) {
        err << "usage: luvana_artworkbake <artwork folder> <out.cpp>\n";
        return 1;
    }
    const QDir folder(args.at(1));
    QString source;
    QTextStream out(&source);
    out << "// Written by luvana_artworkbake from assets/artwork: do not edit.\n"
           "#include \"app/artworkbaked.h\"\n\nnamespace {\n";
    QString table;
    int count = 0;
    for (const ArtworkPicture &picture : kArtworkPictures) {
        if (!picture.inFirstFrame)
            continue;
        const QString name = QString::fromUtf16(picture.name);
        const QString path = folder.filePath(name);
        if (!QFileInfo::exists(path)) {
            err << "luvana_artworkbake: no " << path << '\n';
            return 1;
        }
        for (const int ratio : kBakedRatios) {
            const QSize size(picture.width * ratio, picture.height * ratio);
            const QImage image = renderSvg(path, size);
            out << "const quint32 kPixels" << count << "[] = {";
            for (int y = 0; y < size.height(); ++y) {
                const auto *line = reinterpret_cast<const quint32 *>(image.constScanLine(y));
                out << "\n   ";
                for (int x = 0; x < size.width(); ++x)
                    out << " 0x" << QString::number(line[x], 16) << ',';
            }
            out << "\n};\n";
            table += QStringLiteral("    {u\"%1\", %2, %3, %4, kPixels%5},\n")
                             .arg(name)
                             .arg(ratio)
                             .arg(size.width())
                             .arg(size.height())
                             .arg(count);
            ++count;
        }
    }
    out << "} // namespace\n\nconst BakedArtwork kBakedArtwork[] = {\n"
        << table << "};\nconst int kBakedArtworkCount = " << count << ";\n";
    out.flush();

    QSaveFile file(args.at(2));
    if (!file.open(QIODevice::WriteOnly) || file.write(source.toUtf8()) < 0 || !file.commit()) {
        err << "luvana_artworkbake: cannot write " << args.at(2) << '\n';
        return 1;
    }
    return 0;
}
