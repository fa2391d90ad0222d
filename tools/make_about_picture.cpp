// Draws the picture of the about box and writes it as a JPEG with libjpeg:
//   make_about_picture OUT.jpg
// The picture is part of the sources (src/ui/resources/about.jpg); run this
// again only to change it.
#include <QApplication>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include <jpeglib.h>

namespace {

// Visible light, 380 .. 750 nm, as a rough RGB colour.
QColor WavelengthColour(double fNm)
{
    double r = 0, g = 0, b = 0;
    if (fNm < 440) { r = (440 - fNm) / 60; b = 1; }
    else if (fNm < 490) { g = (fNm - 440) / 50; b = 1; }
    else if (fNm < 510) { g = 1; b = (510 - fNm) / 20; }
    else if (fNm < 580) { r = (fNm - 510) / 70; g = 1; }
    else if (fNm < 645) { r = 1; g = (645 - fNm) / 65; }
    else { r = 1; }
    double fFade = 1.0;
    if (fNm < 420) fFade = 0.3 + 0.7 * (fNm - 380) / 40;
    if (fNm > 700) fFade = 0.3 + 0.7 * (750 - fNm) / 50;
    return QColor::fromRgbF(static_cast<float>(r * fFade), static_cast<float>(g * fFade), static_cast<float>(b * fFade));
}

bool WriteJpeg(const QImage& oImage, const char* pcPath)
{
    std::FILE* pFile = std::fopen(pcPath, "wb");
    if (pFile == nullptr) {
        return false;
    }
    const QImage oRgb = oImage.convertToFormat(QImage::Format_RGB888);
    jpeg_compress_struct oInfo{};
    jpeg_error_mgr oError{};
    oInfo.err = jpeg_std_error(&oError);
    jpeg_create_compress(&oInfo);
    jpeg_stdio_dest(&oInfo, pFile);
    oInfo.image_width = static_cast<JDIMENSION>(oRgb.width());
    oInfo.image_height = static_cast<JDIMENSION>(oRgb.height());
    oInfo.input_components = 3;
    oInfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&oInfo);
    jpeg_set_quality(&oInfo, 88, TRUE);
    jpeg_start_compress(&oInfo, TRUE);
    while (oInfo.next_scanline < oInfo.image_height) {
        JSAMPROW pRow = const_cast<uchar*>(oRgb.constScanLine(static_cast<int>(oInfo.next_scanline)));
        jpeg_write_scanlines(&oInfo, &pRow, 1);
    }
    jpeg_finish_compress(&oInfo);
    jpeg_destroy_compress(&oInfo);
    return std::fclose(pFile) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_about_picture OUT.jpg\n");
        return 2;
    }
    QApplication oApplication(argc, argv);
    const int W = 616;
    const int H = 440;
    QImage oImage(W, H, QImage::Format_RGB32);
    QPainter oPainter(&oImage);
    oPainter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient oSky(0, 0, 0, H);
    oSky.setColorAt(0.0, QColor(3, 6, 24));
    oSky.setColorAt(1.0, QColor(18, 28, 64));
    oPainter.fillRect(oImage.rect(), oSky);
    std::mt19937 oRandom(1801);
    std::uniform_real_distribution<double> oUnit(0.0, 1.0);
    for (int i = 0; i < 260; ++i) {
        const double x = oUnit(oRandom) * W;
        const double y = oUnit(oRandom) * H * 0.55;
        const double fSize = 0.4 + 1.6 * std::pow(oUnit(oRandom), 4.0);
        const int lGrey = 150 + static_cast<int>(105 * oUnit(oRandom));
        oPainter.setPen(Qt::NoPen);
        oPainter.setBrush(QColor(lGrey, lGrey, 255 - (255 - lGrey) / 2));
        oPainter.drawEllipse(QPointF(x, y), fSize, fSize);
    }

    // A stellar spectrum with its strongest lines.
    const QRect oBand(28, 250, W - 56, 56);
    const std::vector<double> vLines = {393.4, 396.8, 410.2, 434.0, 486.1, 517.3, 527.0, 589.0, 589.6, 656.3, 686.7};
    for (int x = oBand.left(); x <= oBand.right(); ++x) {
        const double fNm = 380.0 + 370.0 * (x - oBand.left()) / oBand.width();
        double fDepth = 0.0;
        for (const double fLine : vLines) {
            const double fSigma = fLine > 650 || fLine < 400 ? 0.9 : 0.55;
            fDepth = std::max(fDepth, 0.92 * std::exp(-0.5 * std::pow((fNm - fLine) / fSigma, 2)));
        }
        QColor oColour = WavelengthColour(fNm);
        oColour = QColor::fromRgbF(static_cast<float>(oColour.redF() * (1 - fDepth)),
                                   static_cast<float>(oColour.greenF() * (1 - fDepth)),
                                   static_cast<float>(oColour.blueF() * (1 - fDepth)));
        oPainter.setPen(oColour);
        oPainter.drawLine(x, oBand.top(), x, oBand.bottom());
    }

    // A radial-velocity curve of an eccentric orbit with its measurements.
    QPainterPath oCurve;
    const double fBase = 372;
    for (int x = 28; x <= W - 28; ++x) {
        const double fPhase = (x - 28) / 260.0 * 2 * M_PI;
        double E = fPhase;
        for (int k = 0; k < 20; ++k) {
            E = fPhase + 0.35 * std::sin(E);
        }
        const double fNu = 2 * std::atan(std::sqrt(1.35 / 0.65) * std::tan(E / 2));
        const double y = fBase - 34 * (std::cos(fNu + 1.0) + 0.35 * std::cos(1.0));
        if (x == 28) {
            oCurve.moveTo(x, y);
        } else {
            oCurve.lineTo(x, y);
        }
    }
    oPainter.setBrush(Qt::NoBrush);
    oPainter.setPen(QPen(QColor(120, 230, 140), 2));
    oPainter.drawPath(oCurve);
    oPainter.setPen(QPen(QColor(255, 210, 90), 1.5));
    for (int i = 0; i < 24; ++i) {
        const double fT = oUnit(oRandom);
        const QPointF oOnCurve = oCurve.pointAtPercent(fT);
        const QPointF oPoint(oOnCurve.x(), oOnCurve.y() + (oUnit(oRandom) - 0.5) * 8);
        oPainter.drawLine(oPoint + QPointF(-3, -3), oPoint + QPointF(3, 3));
        oPainter.drawLine(oPoint + QPointF(-3, 3), oPoint + QPointF(3, -3));
    }

    QFont oTitle("DejaVu Serif", 40, QFont::Bold);
    oPainter.setFont(oTitle);
    oPainter.setPen(QColor(235, 240, 255));
    oPainter.drawText(QRect(0, 40, W, 70), Qt::AlignHCenter | Qt::AlignVCenter, "Quandrel");
    QFont oSub("DejaVu Sans", 13);
    oPainter.setFont(oSub);
    oPainter.setPen(QColor(180, 195, 235));
    oPainter.drawText(QRect(0, 112, W, 30), Qt::AlignHCenter | Qt::AlignVCenter,
                      "Radial velocities and binary orbits from amateur spectra");
    oPainter.drawText(QRect(0, 142, W, 30), Qt::AlignHCenter | Qt::AlignVCenter, "Version 2.1.3");
    oPainter.end();
    return WriteJpeg(oImage, argv[1]) ? 0 : 1;
}
