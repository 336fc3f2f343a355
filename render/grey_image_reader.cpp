#include "render/grey_image_reader.h"

#include <QImage>
#include <QImageReader>
#include <QString>

#include <fmt/format.h>

namespace lamivex::render {

GreyImageRead readGreyImage(const std::filesystem::path& path) {
    GreyImageRead read;
    QImageReader reader(QString::fromStdString(path.string()));
    // A camera's picture is stored as taken; no orientation tag should turn it.
    reader.setAutoTransform(false);
    QImage image = reader.read();
    if (image.isNull()) {
        read.error = fmt::format("cannot read the image '{}': {}", path.string(),
                                 reader.errorString().toStdString());
        return read;
    }
    // Deeper than 8 bits a channel (16-bit grey or colour) keeps its 16 bits of grey.
    const bool deep = image.depth() > 32 || image.format() == QImage::Format_Grayscale16;
    image = image.convertToFormat(deep ? QImage::Format_Grayscale16 : QImage::Format_Grayscale8);
    fit::GreyImage& grey = read.image;
    grey.width = image.width();
    grey.height = image.height();
    grey.values.resize(static_cast<std::size_t>(grey.width) *
                       static_cast<std::size_t>(grey.height));
    for (int y = 0; y < grey.height; ++y) {
        float* row = grey.values.data() + static_cast<std::size_t>(y) * grey.width;
        if (deep) {
            const auto* line = reinterpret_cast<const quint16*>(image.constScanLine(y));
            for (int x = 0; x < grey.width; ++x) {
                row[x] = line[x];
            }
        } else {
            const uchar* line = image.constScanLine(y);
            for (int x = 0; x < grey.width; ++x) {
                row[x] = line[x];
            }
        }
    }
    return read;
}

}  // namespace lamivex::render
