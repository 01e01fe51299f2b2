#include "pngencoder.h"

#include <png.h>
#include <zlib.h>

#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <csetjmp>
#include <thread>
#include <vector>

namespace kpngencoder {

namespace {

constexpr int kCompressionLevel = 3;
// Rows between two questions whether to stop: a few milliseconds of work on a large page.
constexpr int kRowsPerStopCheck = 16;

bool stopsAt(const Stop &stop, int row)
{
    return stop && row % kRowsPerStopCheck == 0 && stop();
}

const char kCancelled[] = "cancelled";

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
bool writeRows(png_structp png, png_infop info, const QImage &image, bool grey, unsigned char *greyRow,
               const Stop &stop, bool *stopped)
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
        if (stopsAt(stop, y)) {
            *stopped = true;
            return false;
        }
        const uchar *line = image.constScanLine(y);
        if (grey) {
            const int width = image.width();
            for (int x = 0; x < width; ++x)
                greyRow[x] = line[4 * x];
            png_write_row(png, greyRow);
        } else {
            png_write_row(png, const_cast<png_bytep>(line));
        }
    }
    png_write_end(png, info);
    return true;
}


bool encodeWithLibpng(const QImage &image, QIODevice *device, bool grey, QString *error, const Stop &stop)
{
    Sink sink{device, false, 0, {0}};
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, onError, onWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        if (error)
            *error = QStringLiteral("out of memory");
        return false;
    }
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
    bool stopped = false;
    const bool ok = writeRows(png, info, image, grey, greyRow.data(), stop, &stopped);
    png_destroy_write_struct(&png, &info);
    if (!ok && error)
        *error = stopped       ? QString::fromLatin1(kCancelled)
                 : !sink.failed ? QString::fromUtf8(sink.message)
                 : sink.code  ? QString::fromLocal8Bit(std::strerror(sink.code))
                              : device->errorString();
    return ok;
}

// One piece of the rows deflated as a raw stream of its own; all but the last end on a
// byte boundary with a sync flush, so the pieces can follow each other in one stream.
struct Piece
{
    int firstRow = 0;
    int rows = 0;
    bool last = false;
    std::vector<unsigned char> out;
    uLong adler = 1;
    uLong length = 0; // bytes fed in, for joining the checksums
    bool ok = false;
    bool stopped = false;
};

// The rows as the PNG holds them: filter byte 0, then grey or R, G, B bytes.
void filteredRow(const QImage &image, int y, bool grey, unsigned char *row)
{
    const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
    row[0] = 0;
    unsigned char *to = row + 1;
    const int width = image.width();
    for (int x = 0; x < width; ++x) {
        const QRgb p = line[x];
        if (grey) {
            *to++ = uchar(qBlue(p));
        } else {
            *to++ = uchar(qRed(p));
            *to++ = uchar(qGreen(p));
            *to++ = uchar(qBlue(p));
        }
    }
}

bool drain(z_stream &z, int flush, std::vector<unsigned char> &out)
{
    unsigned char buffer[1 << 16];
    do {
        z.next_out = buffer;
        z.avail_out = sizeof buffer;
        const int status = deflate(&z, flush);
        if (status == Z_STREAM_ERROR)
            return false;
        out.insert(out.end(), buffer, buffer + (sizeof buffer - z.avail_out));
    } while (z.avail_out == 0);
    return true;
}

void deflatePiece(const QImage &image, bool grey, const Stop &stop, Piece &piece)
{
    z_stream z{};
    if (deflateInit2(&z, kCompressionLevel, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return;
    const size_t rowBytes = 1 + size_t(image.width()) * (grey ? 1 : 3);
    std::vector<unsigned char> row(rowBytes);
    piece.adler = adler32(0, nullptr, 0);
    bool ok = true;
    for (int y = piece.firstRow; ok && y < piece.firstRow + piece.rows; ++y) {
        if (stopsAt(stop, y - piece.firstRow)) {
            piece.stopped = true;
            deflateEnd(&z);
            return;
        }
        filteredRow(image, y, grey, row.data());
        piece.adler = adler32(piece.adler, row.data(), uInt(rowBytes));
        piece.length += rowBytes;
        z.next_in = row.data();
        z.avail_in = uInt(rowBytes);
        ok = drain(z, Z_NO_FLUSH, piece.out);
    }
    piece.ok = ok && drain(z, piece.last ? Z_FINISH : Z_SYNC_FLUSH, piece.out);
    deflateEnd(&z);
}

void putBigEndian(unsigned char *to, quint32 value)
{
    to[0] = uchar(value >> 24);
    to[1] = uchar(value >> 16);
    to[2] = uchar(value >> 8);
    to[3] = uchar(value);
}

// Writes PNG chunks; the first failed write is remembered and the rest are skipped.
class ChunkWriter
{
public:
    explicit ChunkWriter(QIODevice *device) : m_device(device) {}

    void chunk(const char *type, const unsigned char *data, size_t length)
    {
        unsigned char head[8];
        putBigEndian(head, quint32(length));
        std::memcpy(head + 4, type, 4);
        uLong crc = crc32(0, head + 4, 4);
        if (length > 0) // a null buffer would restart the checksum
            crc = crc32(crc, data, uInt(length));
        unsigned char tail[4];
        putBigEndian(tail, quint32(crc));
        write(head, 8);
        write(data, length);
        write(tail, 4);
    }

    void write(const unsigned char *data, size_t length)
    {
        if (m_failed || length == 0)
            return;
        if (m_device->write(reinterpret_cast<const char *>(data), qint64(length)) != qint64(length)) {
            m_failed = true;
            m_code = errno;
        }
    }

    bool failed() const { return m_failed; }
    QString error() const
    {
        return m_code ? QString::fromLocal8Bit(std::strerror(m_code)) : m_device->errorString();
    }

private:
    QIODevice *m_device;
    bool m_failed = false;
    int m_code = 0;
};

// Gathers the zlib stream into IDAT chunks of a bounded size.
class IdatWriter
{
public:
    explicit IdatWriter(ChunkWriter &chunks) : m_chunks(chunks) { m_buffer.reserve(kChunk); }
    void append(const unsigned char *data, size_t length)
    {
        while (length > 0) {
            const size_t take = std::min(length, kChunk - m_buffer.size());
            m_buffer.insert(m_buffer.end(), data, data + take);
            data += take;
            length -= take;
            if (m_buffer.size() == kChunk)
                flush();
        }
    }
    void flush()
    {
        if (!m_buffer.empty())
            m_chunks.chunk("IDAT", m_buffer.data(), m_buffer.size());
        m_buffer.clear();
    }

private:
    static constexpr size_t kChunk = 1 << 20;
    ChunkWriter &m_chunks;
    std::vector<unsigned char> m_buffer;
};

void writeHeader(ChunkWriter &chunks, const QImage &image, bool grey)
{
    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    chunks.write(signature, 8);
    unsigned char ihdr[13];
    putBigEndian(ihdr, quint32(image.width()));
    putBigEndian(ihdr + 4, quint32(image.height()));
    ihdr[8] = 8;               // bits per sample
    ihdr[9] = grey ? 0 : 2;    // grey or RGB
    ihdr[10] = ihdr[11] = ihdr[12] = 0; // deflate, adaptive filters, not interlaced
    chunks.chunk("IHDR", ihdr, sizeof ihdr);
    if (image.dotsPerMeterX() > 0 && image.dotsPerMeterY() > 0) {
        unsigned char phys[9];
        putBigEndian(phys, quint32(image.dotsPerMeterX()));
        putBigEndian(phys + 4, quint32(image.dotsPerMeterY()));
        phys[8] = 1; // per metre
        chunks.chunk("pHYs", phys, sizeof phys);
    }
}

// Rows split evenly; piece 0 is deflated on this thread while the others run.
std::vector<Piece> deflateInPieces(const QImage &image, bool grey, int parts, const Stop &stop)
{
    parts = std::max(1, std::min(parts, image.height()));
    std::vector<Piece> pieces(static_cast<size_t>(parts));
    for (int i = 0; i < parts; ++i) {
        pieces[size_t(i)].firstRow = int(qint64(image.height()) * i / parts);
        pieces[size_t(i)].rows = int(qint64(image.height()) * (i + 1) / parts) - pieces[size_t(i)].firstRow;
        pieces[size_t(i)].last = i == parts - 1;
    }
    std::vector<std::thread> threads;
    for (size_t i = 1; i < pieces.size(); ++i)
        threads.emplace_back(deflatePiece, std::cref(image), grey, std::cref(stop), std::ref(pieces[i]));
    deflatePiece(image, grey, stop, pieces[0]);
    for (std::thread &thread : threads)
        thread.join();
    return pieces;
}

bool encodeInPieces(const QImage &image, QIODevice *device, bool grey, int parts, QString *error,
                    const Stop &stop)
{
    const std::vector<Piece> pieces = deflateInPieces(image, grey, parts, stop);
    for (const Piece &piece : pieces) {
        if (!piece.ok) {
            if (error)
                *error = piece.stopped ? QString::fromLatin1(kCancelled) : QStringLiteral("out of memory");
            return false;
        }
    }
    ChunkWriter chunks(device);
    writeHeader(chunks, image, grey);
    IdatWriter idat(chunks);
    static const unsigned char zlibHeader[2] = {0x78, 0x5e}; // deflate, 32 KiB window, fast level
    idat.append(zlibHeader, 2);
    uLong adler = adler32(0, nullptr, 0);
    for (const Piece &piece : pieces) {
        idat.append(piece.out.data(), piece.out.size());
        adler = adler32_combine(adler, piece.adler, z_off_t(piece.length));
    }
    unsigned char trailer[4];
    putBigEndian(trailer, quint32(adler));
    idat.append(trailer, 4);
    idat.flush();
    chunks.chunk("IEND", nullptr, 0);
    if (chunks.failed() && error)
        *error = chunks.error();
    return !chunks.failed();
}

} // namespace

bool accepts(const QImage &image)
{
    return image.format() == QImage::Format_RGB32 && !image.isNull();
}

// A whole row at a time, without a branch per pixel: the compiler can then take several
// pixels per instruction, and a grey page is read to its end.
bool isGrey(const QImage &image)
{
    const int width = image.width();
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        quint32 colour = 0;
        for (int x = 0; x < width; ++x)
            colour |= (line[x] ^ ((line[x] & 0xffu) * 0x010101u)) & 0xffffffu;
        if (colour)
            return false;
    }
    return true;
}

int partsFor(const QSize &size, bool grey)
{
    // A piece costs a thread and a flush; below a few megabytes of rows it does not pay.
    constexpr qint64 kPieceBytes = 12 << 20;
    const qint64 bytes = qint64(size.width()) * size.height() * (grey ? 1 : 3);
    const qint64 cores = std::max(1, std::min(QThread::idealThreadCount(), 8));
    return int(std::max<qint64>(1, std::min(cores, bytes / kPieceBytes)));
}

bool encode(const QImage &image, QIODevice *device, QString *error, int parts, const Stop &stop)
{
    if (!accepts(image) || !device) {
        if (error)
            *error = QStringLiteral("the PNG encoder takes opaque 32-bit pictures only");
        return false;
    }
    const bool grey = isGrey(image);
    if (parts < 1)
        parts = partsFor(image.size(), grey);
    return parts == 1 ? encodeWithLibpng(image, device, grey, error, stop)
                      : encodeInPieces(image, device, grey, parts, error, stop);
}

} // namespace kpngencoder
