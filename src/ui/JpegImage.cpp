#include "ui/JpegImage.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace kvado::ui {
namespace {

// libjpeg's own error handler prints and calls exit(); ours jumps back to the decoder instead.
// libjpeg is C, so no exception may pass through it: a longjmp is the way out.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void onError(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

// Warnings (level -1) are how libjpeg reports data it had to patch up, a truncated file among
// them: such a picture would show grey stripes, so it counts as corrupt. Trace messages
// (levels 1 and up) are ignored, and nothing is printed.
void onMessage(j_common_ptr cinfo, int level) {
    if (level < 0) onError(cinfo);
}

// Pictures larger than this are taken for garbage headers rather than allocated.
constexpr unsigned long kMaxPixels = 64ul * 1024 * 1024;

// libjpeg's state. It is kept out of the function that calls setjmp: locals of that function
// changed before a longjmp have indeterminate values after it.
struct Decoder {
    jpeg_decompress_struct cinfo;
    ErrorManager errors;
};

// Everything between setjmp and a possible longjmp happens here, with no local object that has
// a destructor, as longjmp requires; the image belongs to the caller.
bool decodeInto(const QByteArray& data, Decoder& decoder, QImage& image) {
    jpeg_decompress_struct& cinfo = decoder.cinfo;
    ErrorManager& errors = decoder.errors;
    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = onError;
    errors.pub.emit_message = onMessage;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<unsigned char*>(const_cast<char*>(data.constData())),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&cinfo, TRUE);
    // libjpeg turns greyscale into RGB itself; it refuses CMYK, which then counts as an error.
    cinfo.out_color_space = JCS_RGB;
    if (static_cast<unsigned long>(cinfo.image_width) * cinfo.image_height > kMaxPixels) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_start_decompress(&cinfo);
    image = QImage(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height),
                   QImage::Format_RGB888);
    if (image.isNull()) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = image.scanLine(static_cast<int>(cinfo.output_scanline));
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

} // namespace

QImage decodeJpeg(const QByteArray& data) {
    Decoder decoder{};
    QImage image;
    if (!decodeInto(data, decoder, image)) return {};
    return image;
}

} // namespace kvado::ui
