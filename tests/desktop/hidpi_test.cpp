// The window under Qt's high-DPI scaling, grabbed offscreen. It must scale as a whole: device
// pixels twice the logical size at scale 2, panel lines one logical pixel (two device pixels)
// wide with no blurred fringe, and text drawn at device resolution rather than enlarged.
// The scale comes from QT_SCALE_FACTOR, set by CTest; checks for another scale are skipped.

#include "window/fuelixfrm.h"

#include <QImage>
#include <QPixmap>
#include <QtTest>

#include <algorithm>
#include <cmath>

namespace {

int grey(QRgb pixel)
{
    return std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)});
}

bool isWhite(QRgb pixel)
{
    return qRed(pixel) >= 250 && qGreen(pixel) >= 250 && qBlue(pixel) >= 250;
}

bool isDark(QRgb pixel)
{
    return grey(pixel) <= 64;
}

} // namespace

class HiDpiTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void windowScalesAsAWhole();
    void panelLinesStayOneLogicalPixelAndCrisp();
    void textIsDrawnAtDeviceResolution();
    void fractionalScaleRenders();

private:
    bool atScale(double scale) const { return m_scale == scale; }
    QImage m_image;
    QRgb m_face = 0;
    double m_scale = 1;
};

void HiDpiTest::initTestCase()
{
    m_scale = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble();
    fuelix::FuelixFrm window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QPixmap grabbed = window.grab();
    QCOMPARE(grabbed.devicePixelRatio(), m_scale);
    m_image = grabbed.toImage().convertToFormat(QImage::Format_RGB32);
    // The window's face colour, from a corner no control or line covers.
    m_face = m_image.pixel(2, 2);
}

// QSKIP must stand in the test function itself: it returns from the function it is written in.
#define REQUIRE_SCALE(scale)                                                                       \
    if (!atScale(scale))                                                                           \
    QSKIP("needs QT_SCALE_FACTOR=" #scale)

void HiDpiTest::windowScalesAsAWhole()
{
    REQUIRE_SCALE(2);
    QCOMPARE(m_image.size(), QSize(1012, 882));
}

void HiDpiTest::panelLinesStayOneLogicalPixelAndCrisp()
{
    REQUIRE_SCALE(2);
    // The tank panel's top edge, white on logical row 24, between its title and its right end.
    for (int x = 140; x < 940; ++x) {
        const QString where = QStringLiteral("column %1").arg(x);
        QVERIFY2(isWhite(m_image.pixel(x, 48)) && isWhite(m_image.pixel(x, 49)), qPrintable(where));
        for (int y : {46, 47, 50, 51})
            QVERIFY2(m_image.pixel(x, y) == m_face,
                     qPrintable(where + QStringLiteral(" row %1").arg(y)));
    }
    // Its right edge, dark, one logical pixel wide wherever it runs beside nothing else.
    for (int y = 60; y < 320; ++y) {
        int dark = 0;
        int first = -1;
        for (int x = 950; x < 972; ++x) {
            const QRgb pixel = m_image.pixel(x, y);
            if (isDark(pixel)) {
                dark += 1;
                first = first < 0 ? x : first;
            } else {
                QVERIFY2(pixel == m_face,
                         qPrintable(QStringLiteral("grey fringe at %1,%2").arg(x).arg(y)));
            }
        }
        QVERIFY2(dark == 2, qPrintable(QStringLiteral("row %1: %2 dark pixels").arg(y).arg(dark)));
        QVERIFY2(isDark(m_image.pixel(first + 1, y)), qPrintable(QStringLiteral("row %1").arg(y)));
    }
}

void HiDpiTest::textIsDrawnAtDeviceResolution()
{
    REQUIRE_SCALE(2);
    // "Final Octane Rating:" and the blend rating beside it (logical 154,352 to 368,377).
    const QRect text(308, 704, 428, 50);
    int darkest = 255;
    int sharpEdges = 0;
    int inkedBlocks = 0;
    int detailedBlocks = 0;
    for (int y = text.top(); y < text.bottom(); y += 2) {
        for (int x = text.left(); x < text.right(); x += 2) {
            const QRgb block[] = {m_image.pixel(x, y), m_image.pixel(x + 1, y),
                                  m_image.pixel(x, y + 1), m_image.pixel(x + 1, y + 1)};
            bool inked = false;
            for (QRgb pixel : block) {
                darkest = std::min(darkest, grey(pixel));
                inked = inked || pixel != m_face;
            }
            if (!inked)
                continue;
            inkedBlocks += 1;
            if (std::any_of(std::begin(block), std::end(block),
                            [&](QRgb p) { return p != block[0]; }))
                detailedBlocks += 1;
        }
    }
    for (int y = text.top(); y < text.bottom(); ++y)
        for (int x = text.left(); x < text.right(); ++x)
            if (isDark(m_image.pixel(x, y)) &&
                (m_image.pixel(x, y - 1) == m_face || m_image.pixel(x - 1, y) == m_face))
                sharpEdges += 1;
    QVERIFY2(inkedBlocks > 100, "no text found where the result line is");
    // Full contrast: glyph cores are as dark as at scale 1, and edges step straight to the face.
    QVERIFY2(darkest <= 64, qPrintable(QStringLiteral("darkest text pixel %1").arg(darkest)));
    QVERIFY2(sharpEdges > 20, qPrintable(QStringLiteral("%1 sharp glyph edges").arg(sharpEdges)));
    // Text enlarged from scale 1 would come in uniform 2 x 2 blocks.
    QVERIFY2(detailedBlocks * 5 > inkedBlocks,
             qPrintable(QStringLiteral("%1 of %2 inked blocks show detail")
                            .arg(detailedBlocks)
                            .arg(inkedBlocks)));
}

void HiDpiTest::fractionalScaleRenders()
{
    REQUIRE_SCALE(1.5);
    QCOMPARE(m_image.width(), 759);
    QVERIFY2(m_image.height() == 661 || m_image.height() == 662,
             qPrintable(QString::number(m_image.height())));
    // Something was drawn: the tank panel's white top edge crosses logical row 24 (device 36).
    int white = 0;
    for (int x = 105; x < 705; ++x)
        white += isWhite(m_image.pixel(x, 36)) || isWhite(m_image.pixel(x, 37)) ? 1 : 0;
    QVERIFY2(white > 500, qPrintable(QStringLiteral("%1 white pixels on the top edge").arg(white)));
}

QTEST_MAIN(HiDpiTest)
#include "hidpi_test.moc"
