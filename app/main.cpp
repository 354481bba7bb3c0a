#include "qt/fontpreload.h"
#include "qt/fuelixwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // Reading the font configuration takes a few milliseconds: overlap it with the X connection.
    const auto fonts = fuelix::preloadFontConfiguration();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Fuelix"));
    QApplication::setApplicationVersion(QStringLiteral("1.01.0001"));
    QApplication::setDesktopFileName(QStringLiteral(FUELIX_APP_ID));

    fuelix::FuelixWindow window;
    window.show();
    return QApplication::exec();
}
