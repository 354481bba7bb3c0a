// The program icon as Qt images.
#pragma once

#include <QIcon>
#include <QImage>

namespace fuelix {

// The icon as a 16-colour indexed image whose colour 0 is transparent. size is 32 or 16; any
// other size gives a null image.
QImage programIconImage(int size);

// Both images in one icon, for the title bar and the task bar.
QIcon programIcon();

} // namespace fuelix
