#include "jpegdecoder.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {

// Pictures beyond this many pixels are refused rather than allocated.
constexpr quint64 LargestPicture = quint64(16384) * 16384;

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf failed;
};

[[noreturn]] void fail(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager *>(info->err)->failed, 1);
}

// libjpeg reports corrupt or missing data (a cut file among them) as a
// warning and fills in grey: such a picture counts as damaged too.
void message(j_common_ptr info, int level)
{
    if (level < 0)
        fail(info);
}

bool allocate(QImage *image, JDIMENSION width, JDIMENSION height)
{
    if (quint64(width) * height > LargestPicture)
        return false;
    *image = QImage(int(width), int(height), QImage::Format_RGB888);
    return !image->isNull();
}

// Leaves through longjmp when libjpeg fails, so it holds no object with a
// destructor of its own.
bool decodeInto(jpeg_decompress_struct *info, ErrorManager *errors, const QByteArray *data, QImage *image)
{
    if (setjmp(errors->failed))
        return false;
    jpeg_create_decompress(info);
    jpeg_mem_src(info, reinterpret_cast<const unsigned char *>(data->constData()),
                 static_cast<unsigned long>(data->size()));
    jpeg_read_header(info, TRUE);
    info->out_color_space = JCS_RGB;
    jpeg_start_decompress(info);
    if (!allocate(image, info->output_width, info->output_height))
        return false;
    while (info->output_scanline < info->output_height) {
        JSAMPROW row = image->scanLine(int(info->output_scanline));
        jpeg_read_scanlines(info, &row, 1);
    }
    jpeg_finish_decompress(info);
    return true;
}

} // namespace

QImage decodeJpeg(const QByteArray &data)
{
    if (data.isEmpty())
        return QImage();
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = fail;
    errors.base.emit_message = message;
    QImage image;
    const bool decoded = decodeInto(&info, &errors, &data, &image);
    jpeg_destroy_decompress(&info); // also after a failed creation: it frees what there is

    return decoded ? image : QImage();
}
