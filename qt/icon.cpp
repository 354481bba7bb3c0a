#include "qt/icon.h"

#include "window/icon.h"

#include <QPixmap>

namespace fuelix {

QImage programIconImage(int size)
{
    const std::vector<std::uint8_t> pixels = programIconPixels(size);
    if (pixels.empty())
        return {};
    QImage image(size, size, QImage::Format_Indexed8);
    image.setColorTable(QList<QRgb>(IconPalette.begin(), IconPalette.end()));
    for (int y = 0; y < size; ++y)
        std::copy_n(pixels.begin() + y * size, size, image.scanLine(y));
    return image;
}

QIcon programIcon()
{
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(programIconImage(16)));
    icon.addPixmap(QPixmap::fromImage(programIconImage(32)));
    return icon;
}

} // namespace fuelix
