#include "jpegencoder.h"

#include <QtGlobal>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include <jpeglib.h>

#ifndef JCS_EXTENSIONS
#error "libjpeg-turbo's extended colour spaces are needed to read 32-bit rows directly"
#endif

namespace kjpegencoder {

namespace {

constexpr int kRowsPerStopCheck = 16;
constexpr size_t kBufferBytes = 64 * 1024;

// Everything the callbacks reach. Lives in encode()'s frame, above the setjmp in
// writeRows, so a longjmp never skips its destructor.
struct Encoder
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    jpeg_destination_mgr destination{};
    std::jmp_buf jump;
    QIODevice *device = nullptr;
    std::vector<JOCTET> buffer = std::vector<JOCTET>(kBufferBytes);
    bool writeFailed = false;
    int code = 0; // errno of a failed write: the device itself often reports no reason
    bool stopped = false;
    char message[JMSG_LENGTH_MAX] = {0};
};

Encoder *encoderOf(j_common_ptr info)
{
    return static_cast<Encoder *>(info->client_data);
}

[[noreturn]] void failWrite(Encoder *encoder)
{
    encoder->writeFailed = true;
    encoder->code = errno;
    std::longjmp(encoder->jump, 1);
}

void putBytes(Encoder *encoder, size_t length)
{
    errno = 0;
    const auto *data = reinterpret_cast<const char *>(encoder->buffer.data());
    if (encoder->device->write(data, qint64(length)) != qint64(length))
        failWrite(encoder);
}

void initDestination(j_compress_ptr info)
{
    Encoder *encoder = encoderOf(reinterpret_cast<j_common_ptr>(info));
    info->dest->next_output_byte = encoder->buffer.data();
    info->dest->free_in_buffer = encoder->buffer.size();
}

boolean emptyBuffer(j_compress_ptr info)
{
    Encoder *encoder = encoderOf(reinterpret_cast<j_common_ptr>(info));
    putBytes(encoder, encoder->buffer.size()); // libjpeg hands back a full buffer here
    initDestination(info);
    return TRUE;
}

void termDestination(j_compress_ptr info)
{
    Encoder *encoder = encoderOf(reinterpret_cast<j_common_ptr>(info));
    putBytes(encoder, encoder->buffer.size() - info->dest->free_in_buffer);
}

void onError(j_common_ptr info)
{
    Encoder *encoder = encoderOf(info);
    info->err->format_message(info, encoder->message);
    std::longjmp(encoder->jump, 1);
}

// libjpeg would print warnings on standard error.
void onMessage(j_common_ptr)
{
}

void setResolution(jpeg_compress_struct &info, const QImage &image)
{
    if (image.dotsPerMeterX() <= 0 || image.dotsPerMeterY() <= 0)
        return;
    info.density_unit = 1; // dots per inch
    info.X_density = UINT16(qBound(1, qRound(image.dotsPerMeterX() * 0.0254), 65535));
    info.Y_density = UINT16(qBound(1, qRound(image.dotsPerMeterY() * 0.0254), 65535));
}

// Kept free of objects with destructors: libjpeg leaves it by longjmp on an error.
bool writeRows(Encoder &encoder, const QImage &image, const Stop &stop)
{
    if (setjmp(encoder.jump))
        return false;
    jpeg_compress_struct &info = encoder.info;
    info.image_width = JDIMENSION(image.width());
    info.image_height = JDIMENSION(image.height());
    info.input_components = 4;
    // RGB32 pixels are one 0xffRRGGBB word each, whatever the byte order.
    info.in_color_space = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRX : JCS_EXT_XRGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, kQuality, TRUE);
    setResolution(info, image);
    jpeg_start_compress(&info, TRUE);
    for (int y = 0; y < image.height(); ++y) {
        if (stop && y % kRowsPerStopCheck == 0 && stop()) {
            encoder.stopped = true;
            return false;
        }
        JSAMPROW row = const_cast<JSAMPROW>(image.constScanLine(y));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    return true;
}

} // namespace

bool accepts(const QImage &image)
{
    return image.format() == QImage::Format_RGB32 && !image.isNull();
}

bool encode(const QImage &image, QIODevice *device, QString *error, const Stop &stop)
{
    if (!accepts(image)) {
        if (error)
            *error = QStringLiteral("not an opaque 32-bit picture");
        return false;
    }
    Encoder encoder;
    encoder.device = device;
    encoder.info.err = jpeg_std_error(&encoder.errors);
    encoder.errors.error_exit = onError;
    encoder.errors.output_message = onMessage;
    encoder.info.client_data = &encoder;
    jpeg_create_compress(&encoder.info);
    encoder.destination.init_destination = initDestination;
    encoder.destination.empty_output_buffer = emptyBuffer;
    encoder.destination.term_destination = termDestination;
    encoder.info.dest = &encoder.destination;
    const bool ok = writeRows(encoder, image, stop);
    jpeg_destroy_compress(&encoder.info);
    if (!ok && error)
        *error = encoder.stopped       ? QStringLiteral("cancelled")
                 : !encoder.writeFailed ? QString::fromLocal8Bit(encoder.message)
                 : encoder.code        ? QString::fromLocal8Bit(std::strerror(encoder.code))
                                       : device->errorString();
    return ok;
}

} // namespace kjpegencoder
