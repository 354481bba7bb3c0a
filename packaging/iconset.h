// The program icon at the sizes desktops ask for, and packed as a Windows .ico.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>

namespace fuelix {

// The hicolor theme sizes installed, and those packed into the .ico.
QList<int> iconSizes();
QList<int> icoSizes();

// The icon at size x size: the 16 or 32 pixel image enlarged by a whole factor without smoothing,
// so every icon pixel stays a sharp square (48 comes from 16, the others from 32). Sizes that are
// no multiple of 16 are smoothed down from the 32 pixel image. Always Format_ARGB32; null when a
// source is.
QImage pixelArtIcon(const QImage &small, const QImage &large, int size);

// An .ico holding the images as PNG entries, in the given order.
QByteArray icoFile(const QList<QImage> &images);

} // namespace fuelix
