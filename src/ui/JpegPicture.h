// Decodes a JPEG picture with libjpeg.
#pragma once

#include <QImage>

#include <cstddef>

// The picture, or a null image when the bytes are no JPEG libjpeg can read.
QImage DecodeJpeg(const unsigned char* pacBytes, std::size_t lSize);
