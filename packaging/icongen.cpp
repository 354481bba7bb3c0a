// Build-time tool: writes the program icon as the PNG files of the freedesktop hicolor theme and
// as a Windows .ico, all from the two images the window itself uses, so there is one picture.
//
//   fuelix_icongen OUTPUT_DIR APP_ID
//
// writes OUTPUT_DIR/hicolor/<n>x<n>/apps/APP_ID.png for every size in iconSizes() and
// OUTPUT_DIR/fuelix.ico.
#include "packaging/iconset.h"
#include "qt/icon.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextStream>

int main(int argc, char *argv[])
{
    // A build step has no display: the icon is drawn into plain images. Qt wants a private
    // runtime directory even so, and a build environment often has none.
    qputenv("QT_QPA_PLATFORM", "minimal");
    QTemporaryDir runtimeDir;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir.path()));
    QGuiApplication app(argc, argv);

    QTextStream err(stderr);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        err << "usage: fuelix_icongen OUTPUT_DIR APP_ID\n";
        return 2;
    }
    const QDir out(args.at(1));
    const QString appId = args.at(2);

    const QImage small = fuelix::programIconImage(16);
    const QImage large = fuelix::programIconImage(32);
    QList<QImage> icoImages;
    for (int size : fuelix::iconSizes()) {
        const QImage image = fuelix::pixelArtIcon(small, large, size);
        const QString dir = QStringLiteral("hicolor/%1x%1/apps").arg(size);
        const QString file = out.filePath(dir + QLatin1Char('/') + appId + QStringLiteral(".png"));
        if (!out.mkpath(dir) || !image.save(file, "PNG")) {
            err << "fuelix_icongen: cannot write " << file << '\n';
            return 1;
        }
        if (fuelix::icoSizes().contains(size))
            icoImages.append(image);
    }

    QFile ico(out.filePath(QStringLiteral("fuelix.ico")));
    if (!ico.open(QIODevice::WriteOnly) || ico.write(fuelix::icoFile(icoImages)) < 0) {
        err << "fuelix_icongen: cannot write " << ico.fileName() << '\n';
        return 1;
    }
    return 0;
}
