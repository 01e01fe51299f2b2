#include "pngencoder.h"

#include <png.h>

#include <cerrno>
#include <cstring>

#include <csetjmp>
#include <vector>

namespace kpngencoder {

namespace {

constexpr int kCompressionLevel = 3;

struct Sink
{
    QIODevice *device;
    bool failed;
    int code; // errno of a failed write: the device itself often reports no reason
    char message[256];
};

void writeData(png_structp png, png_bytep data, png_size_t length)
{
    auto *sink = static_cast<Sink *>(png_get_io_ptr(png));
    if (sink->device->write(reinterpret_cast<const char *>(data), qint64(length)) != qint64(length)) {
        sink->failed = true;
        sink->code = errno;
        png_error(png, "write failed");
    }
}

void flushData(png_structp)
{
}

void onError(png_structp png, png_const_charp message)
{
    auto *sink = static_cast<Sink *>(png_get_error_ptr(png));
    qsnprintf(sink->message, sizeof sink->message, "%s", message);
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp)
{
}

// Writes every row; rows of a grey picture are narrowed to one byte a pixel first.
// Kept free of objects with destructors: libpng leaves it by longjmp on an error.
bool writeRows(png_structp png, png_infop info, const QImage &image, bool grey, unsigned char *greyRow)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_write_info(png, info);
    if (!grey) {
        // Qt keeps RGB32 pixels as B, G, R, X bytes in memory.
        png_set_bgr(png);
        png_set_filler(png, 0, PNG_FILLER_AFTER);
    }
    for (int y = 0; y < image.height(); ++y) {
        const uchar *line = image.constScanLine(y);
        if (grey) {
            for (int x = 0; x < image.width(); ++x)
                greyRow[x] = line[4 * x];
            png_write_row(png, greyRow);
        } else {
            png_write_row(png, const_cast<png_bytep>(line));
        }
    }
    png_write_end(png, info);
    return true;
}

} // namespace

bool accepts(const QImage &image)
{
    return image.format() == QImage::Format_RGB32 && !image.isNull();
}

bool isGrey(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = line[x];
            if (qRed(p) != qGreen(p) || qGreen(p) != qBlue(p))
                return false;
        }
    }
    return true;
}

bool encode(const QImage &image, QIODevice *device, QString *error)
{
    if (!accepts(image) || !device) {
        if (error)
            *error = QStringLiteral("the PNG encoder takes opaque 32-bit pictures only");
        return false;
    }
    Sink sink{device, false, 0, {0}};
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, onError, onWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        if (error)
            *error = QStringLiteral("out of memory");
        return false;
    }
    const bool grey = isGrey(image);
    std::vector<unsigned char> greyRow(grey ? size_t(image.width()) : 0);
    png_set_write_fn(png, &sink, writeData, flushData);
    png_set_IHDR(png, info, png_uint_32(image.width()), png_uint_32(image.height()), 8,
                 grey ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_level(png, kCompressionLevel);
    if (image.dotsPerMeterX() > 0 && image.dotsPerMeterY() > 0)
        png_set_pHYs(png, info, png_uint_32(image.dotsPerMeterX()), png_uint_32(image.dotsPerMeterY()),
                     PNG_RESOLUTION_METER);
    const bool ok = writeRows(png, info, image, grey, greyRow.data());
    png_destroy_write_struct(&png, &info);
    if (!ok && error)
        *error = !sink.failed ? QString::fromUtf8(sink.message)
                 : sink.code  ? QString::fromLocal8Bit(std::strerror(sink.code))
                              : device->errorString();
    return ok;
}

} // namespace kpngencoder
