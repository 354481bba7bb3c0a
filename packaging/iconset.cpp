#include "packaging/iconset.h"

#include <QBuffer>
#include <QtEndian>

namespace fuelix {

QList<int> iconSizes()
{
    return {16, 32, 48, 64, 128, 256};
}

QList<int> icoSizes()
{
    return {16, 32, 48, 256};
}

QImage pixelArtIcon(const QImage &small, const QImage &large, int size)
{
    if (small.isNull() || large.isNull())
        return {};
    const bool fromLarge = size % large.width() == 0;
    const bool fromSmall = !fromLarge && size % small.width() == 0;
    const QImage &source = fromSmall ? small : large;
    const Qt::TransformationMode mode =
        fromLarge || fromSmall ? Qt::FastTransformation : Qt::SmoothTransformation;
    return source.convertToFormat(QImage::Format_ARGB32)
        .scaled(size, size, Qt::IgnoreAspectRatio, mode);
}

namespace {

void appendLe16(QByteArray &out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void appendLe32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

} // namespace

QByteArray icoFile(const QList<QImage> &images)
{
    QList<QByteArray> pngs;
    for (const QImage &image : images) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        pngs.append(png);
    }

    // ICONDIR, then one 16-byte ICONDIRENTRY per image, then the images.
    QByteArray out;
    appendLe16(out, 0);
    appendLe16(out, 1); // icon, not cursor
    appendLe16(out, quint16(images.size()));
    quint32 offset = 6 + 16 * quint32(images.size());
    for (qsizetype i = 0; i < images.size(); ++i) {
        // A width or height of 256 is written as 0.
        out.append(char(images[i].width() & 0xff));
        out.append(char(images[i].height() & 0xff));
        out.append(char(0)); // no palette
        out.append(char(0));
        appendLe16(out, 1);  // colour planes
        appendLe16(out, 32); // bits per pixel
        appendLe32(out, quint32(pngs[i].size()));
        appendLe32(out, offset);
        offset += quint32(pngs[i].size());
    }
    for (const QByteArray &png : pngs)
        out.append(png);
    return out;
}

} // namespace fuelix
