#include "graphgl/DibLoader.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QImage>

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr int kFileHeaderSize = 14;

std::uint32_t ReadLe32(const char* p) {
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

void PutLe32(QByteArray& bytes, int offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

// Where the pixels start in a headerless bitmap: after the info header and the colour table.
std::uint32_t PixelOffset(const QByteArray& dib, std::uint32_t infoSize) {
    std::uint32_t bits = 24;
    std::uint32_t colours = 0;
    std::uint32_t entrySize = 4;
    if (infoSize == 12) {
        bits = static_cast<unsigned char>(dib[10]) | (static_cast<unsigned char>(dib[11]) << 8);
        entrySize = 3;
    } else if (dib.size() >= 36) {
        bits = static_cast<unsigned char>(dib[14]) | (static_cast<unsigned char>(dib[15]) << 8);
        colours = ReadLe32(dib.constData() + 32);
        const std::uint32_t compression = ReadLe32(dib.constData() + 16);
        if (compression == 3) {  // BI_BITFIELDS: three masks follow the header
            colours = 0;
            infoSize += 12;
        }
    }
    if (colours == 0 && bits <= 8) {
        colours = 1u << bits;
    }
    return kFileHeaderSize + infoSize + colours * entrySize;
}

std::uint32_t ReadLe16(const char* p) {
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return b[0] | (b[1] << 8);
}

// The decoder fills a cut-off file with black; we want such a file refused.
bool PixelsComplete(const QByteArray& file, std::uint32_t infoSize) {
    if (file.size() < static_cast<qsizetype>(kFileHeaderSize + infoSize)) {
        return false;
    }
    const char* info = file.constData() + kFileHeaderSize;
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t bits = 0;
    if (infoSize == 12) {
        width = ReadLe16(info + 4);
        height = ReadLe16(info + 6);
        bits = ReadLe16(info + 10);
    } else {
        width = static_cast<std::int32_t>(ReadLe32(info + 4));
        height = static_cast<std::int32_t>(ReadLe32(info + 8));
        bits = ReadLe16(info + 14);
        const std::uint32_t compression = ReadLe32(info + 16);
        if (compression != 0 && compression != 3) {
            return true;  // run-length data has no fixed size
        }
    }
    const std::int64_t rowBytes = (width * bits + 31) / 32 * 4;
    const std::int64_t need =
        static_cast<std::int64_t>(ReadLe32(file.constData() + 10)) + rowBytes * std::llabs(height);
    return width > 0 && height != 0 && need <= file.size();
}

// A text marked for the catalogue, in the user's language.
std::string Tr(const char* text) {
    return QCoreApplication::translate("DibLoader", text).toStdString();
}

}  // namespace

bool LoadDib(const std::string& path, DibImage& image, std::string& error) {
    QFile file(QString::fromStdString(path));
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly)) {
        bytes = file.readAll();
    }
    if (bytes.isEmpty()) {
        error = QCoreApplication::translate("DibLoader", "Failed to open DIB file %1.\n")
                    .arg(QString::fromStdString(path))
                    .toStdString();
        return false;
    }

    // A bitmap without its file header gets one, so the decoder sees a regular file.
    if (!bytes.startsWith("BM")) {
        if (bytes.size() < 4) {
            error = Tr(QT_TRANSLATE_NOOP("DibLoader", "Unknown DIB file format."));
            return false;
        }
        const std::uint32_t infoSize = ReadLe32(bytes.constData());
        QByteArray withHeader(kFileHeaderSize, '\0');
        withHeader[0] = 'B';
        withHeader[1] = 'M';
        withHeader.append(bytes);
        PutLe32(withHeader, 2, static_cast<std::uint32_t>(withHeader.size()));
        PutLe32(withHeader, 10, PixelOffset(bytes, infoSize));
        bytes = withHeader;
    }
    if (bytes.size() < kFileHeaderSize + 4) {
        error = Tr(QT_TRANSLATE_NOOP("DibLoader", "Unknown DIB file format."));
        return false;
    }
    const std::uint32_t infoSize = ReadLe32(bytes.constData() + kFileHeaderSize);
    if (infoSize != 12 && infoSize != 40) {
        error = Tr(QT_TRANSLATE_NOOP("DibLoader", "Unknown DIB file format."));
        return false;
    }

    QImage decoded;
    if (!PixelsComplete(bytes, infoSize) || !decoded.loadFromData(bytes, "BMP") ||
        decoded.isNull()) {
        error = Tr(QT_TRANSLATE_NOOP("DibLoader", "Image file conversion error."));
        return false;
    }
    const QImage rgb = decoded.convertToFormat(QImage::Format_RGB888);
    if (rgb.isNull()) {
        error = Tr(QT_TRANSLATE_NOOP("DibLoader", "Out of memory."));
        return false;
    }
    image.width = rgb.width();
    image.height = rgb.height();
    const std::size_t rowBytes = static_cast<std::size_t>(image.width) * 3;
    try {
        image.rgb.resize(rowBytes * image.height);
    } catch (const std::bad_alloc&) {
        error = Tr(QT_TRANSLATE_NOOP("DibLoader", "Out of memory."));
        return false;
    }
    for (int y = 0; y < image.height; ++y) {
        // Bottom row first, as the file stores it and as glTexImage2D reads it.
        std::memcpy(&image.rgb[y * rowBytes], rgb.constScanLine(image.height - 1 - y), rowBytes);
    }
    return true;
}
