#include "JpegPicture.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {

struct JpegError {
    jpeg_error_mgr oManager;
    std::jmp_buf oJump;
};

void OnJpegError(j_common_ptr pInfo)
{
    auto* pError = reinterpret_cast<JpegError*>(pInfo->err);
    std::longjmp(pError->oJump, 1);
}

void OnJpegMessage(j_common_ptr)
{
    // Warnings of a damaged picture are not shown to anybody.
}

// The largest picture we decode; anything bigger is no about box picture.
constexpr JDIMENSION kMaxSide = 8192;

} // namespace

QImage DecodeJpeg(const unsigned char* pacBytes, std::size_t lSize)
{
    // Everything that lives across setjmp is set up before it and has no destructor to skip.
    QImage oImage;
    jpeg_decompress_struct oInfo{};
    JpegError oError{};
    oInfo.err = jpeg_std_error(&oError.oManager);
    oError.oManager.error_exit = OnJpegError;
    oError.oManager.output_message = OnJpegMessage;
    if (pacBytes == nullptr || lSize == 0) {
        return oImage;
    }
    if (setjmp(oError.oJump) != 0) {
        jpeg_destroy_decompress(&oInfo);
        return QImage();
    }
    jpeg_create_decompress(&oInfo);
    jpeg_mem_src(&oInfo, pacBytes, static_cast<unsigned long>(lSize));
    jpeg_read_header(&oInfo, TRUE);
    if (oInfo.image_width == 0 || oInfo.image_height == 0 || oInfo.image_width > kMaxSide ||
        oInfo.image_height > kMaxSide) {
        jpeg_destroy_decompress(&oInfo);
        return QImage();
    }
    oInfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&oInfo);
    oImage = QImage(static_cast<int>(oInfo.output_width), static_cast<int>(oInfo.output_height),
                    QImage::Format_RGB888);
    while (oInfo.output_scanline < oInfo.output_height) {
        JSAMPROW pRow = oImage.scanLine(static_cast<int>(oInfo.output_scanline));
        jpeg_read_scanlines(&oInfo, &pRow, 1);
    }
    jpeg_finish_decompress(&oInfo);
    jpeg_destroy_decompress(&oInfo);
    return oImage;
}
