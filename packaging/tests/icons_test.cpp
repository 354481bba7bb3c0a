// The icon files the package installs: right sizes, sharp enlargements of the window's own icon,
// and an .ico that holds what it claims.
#include "packaging/iconset.h"
#include "qt/icon.h"

#include <QFile>
#include <QSet>
#include <QTest>
#include <QtEndian>

using fuelix::pixelArtIcon;

namespace {

QImage argb(const QImage &image)
{
    return image.convertToFormat(QImage::Format_ARGB32);
}

QList<QImage> icoImages()
{
    const QImage small = fuelix::programIconImage(16);
    const QImage large = fuelix::programIconImage(32);
    QList<QImage> images;
    for (int size : fuelix::icoSizes())
        images.append(pixelArtIcon(small, large, size));
    return images;
}

} // namespace

class IconsTest : public QObject
{
    Q_OBJECT

private slots:
    // What the packaging relies on from the window: two sizes, few colours, a transparent
    // background.
    void windowIconIsSmallPixelArtWithTransparency()
    {
        for (int size : {16, 32}) {
            const QImage image = fuelix::programIconImage(size);
            QCOMPARE(image.size(), QSize(size, size));
            const QImage pixels = argb(image);
            QSet<QRgb> colours;
            int transparent = 0;
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x) {
                    const QRgb p = pixels.pixel(x, y);
                    if (qAlpha(p) == 0)
                        ++transparent;
                    else
                        colours.insert(p);
                }
            QVERIFY2(colours.size() <= 16, qPrintable(QString::number(colours.size())));
            QVERIFY(transparent > 0);
            QVERIFY(transparent < size * size);
        }
    }

    // Every enlargement is made of whole blocks, each one pixel of its source, so nothing is
    // blurred; 48 comes from the 16 pixel image, the larger ones from the 32 pixel image.
    void enlargementsAreExactBlocks_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("sourceSize");
        QTest::newRow("16") << 16 << 16;
        QTest::newRow("32") << 32 << 32;
        QTest::newRow("48") << 48 << 16;
        QTest::newRow("64") << 64 << 32;
        QTest::newRow("128") << 128 << 32;
        QTest::newRow("256") << 256 << 32;
    }
    void enlargementsAreExactBlocks()
    {
        QFETCH(int, size);
        QFETCH(int, sourceSize);
        const QImage small = fuelix::programIconImage(16);
        const QImage large = fuelix::programIconImage(32);
        const QImage icon = pixelArtIcon(small, large, size);
        QCOMPARE(icon.format(), QImage::Format_ARGB32);
        QCOMPARE(icon.size(), QSize(size, size));
        const QImage source = argb(sourceSize == 16 ? small : large);
        const int factor = size / sourceSize;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                if (icon.pixel(x, y) != source.pixel(x / factor, y / factor))
                    QFAIL(qPrintable(QStringLiteral("pixel (%1, %2)").arg(x).arg(y)));
    }

    // The files the build wrote are the images above, under the theme's names.
    void generatedThemeFilesMatch()
    {
        const QImage small = fuelix::programIconImage(16);
        const QImage large = fuelix::programIconImage(32);
        for (int size : fuelix::iconSizes()) {
            const QString file =
                QStringLiteral(FUELIX_ICON_DIR "/hicolor/%1x%1/apps/" FUELIX_APP_ID ".png")
                    .arg(size);
            const QImage onDisk(file);
            QVERIFY2(onDisk.hasAlphaChannel(), qPrintable(file));
            QVERIFY2(argb(onDisk) == pixelArtIcon(small, large, size), qPrintable(file));
        }
    }

    // Directory, entries and PNG payloads of the .ico, read back byte by byte.
    void icoHoldsEachImageAsPng()
    {
        const QList<QImage> images = icoImages();
        const QByteArray ico = fuelix::icoFile(images);

        const auto le16 = [&](qsizetype at) { return qFromLittleEndian<quint16>(ico.data() + at); };
        const auto le32 = [&](qsizetype at) { return qFromLittleEndian<quint32>(ico.data() + at); };
        QVERIFY(ico.size() > 6);
        QCOMPARE(le16(0), 0);
        QCOMPARE(le16(2), 1);
        QCOMPARE(le16(4), images.size());
        qsizetype expectedOffset = 6 + 16 * images.size();
        for (qsizetype i = 0; i < images.size(); ++i) {
            const qsizetype entry = 6 + 16 * i;
            const int size = images[i].width();
            QCOMPARE(quint8(ico[entry]), quint8(size == 256 ? 0 : size));
            QCOMPARE(quint8(ico[entry + 1]), quint8(size == 256 ? 0 : size));
            QCOMPARE(le16(entry + 6), 32);
            const quint32 length = le32(entry + 8);
            const quint32 offset = le32(entry + 12);
            QCOMPARE(qsizetype(offset), expectedOffset);
            QVERIFY(offset + length <= quint32(ico.size()));
            expectedOffset += length;
            QCOMPARE(argb(QImage::fromData(ico.mid(offset, length), "PNG")), images[i]);
        }
        QCOMPARE(expectedOffset, ico.size());
    }

    void generatedIcoFileIsTheSame()
    {
        QFile file(QStringLiteral(FUELIX_ICON_DIR "/fuelix.ico"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), fuelix::icoFile(icoImages()));
    }
};

QTEST_MAIN(IconsTest)
#include "icons_test.moc"
