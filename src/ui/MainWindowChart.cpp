// The main window's charts leaving the window: exported as PNG, SVG or PDF at a chosen size, copied
// to the clipboard, printed (or, without a printer, printed to a PDF file).
#include "MainWindow.h"

#include "NumberFieldsDialog.h"
#include "Prompts.h"
#include "core/AtomicFile.h"
#include "core/Utils.h"
#include "orbit/PeriodogramPlot.h"
#include "plot/SvgCanvas.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QClipboard>
#include <QFormLayout>
#include <QLineEdit>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStatusBar>
#include <QTabWidget>

#include <algorithm>

namespace {

constexpr int kMinPixels = 100;
constexpr int kMaxPixels = 10000;

// Width, height (pixels) and resolution (dots per inch) of an exported chart.
class ChartSizeDialog : public NumberFieldsDialog {
public:
    explicit ChartSizeDialog(QWidget* pParent) : NumberFieldsDialog("frmChartSize", "Export chart", pParent)
    {
        const auto Whole = [](int lMin, int lMax) {
            return [lMin, lMax](const QLineEdit* pEdit) -> quandrel::Result<double> {
                const quandrel::Result<double> f = TextToFloat(pEdit->text().toStdString());
                // Whole numbers in the range only: a fraction is refused, not rounded.
                if (!f || *f != static_cast<double>(static_cast<int64_t>(*f)) || *f < lMin || *f > lMax) {
                    return quandrel::Failure("Not a whole number from " + std::to_string(lMin) + " to " +
                                             std::to_string(lMax));
                }
                return f;
            };
        };
        auto* pForm = new QFormLayout;
        pForm->addRow("Width (pixels)", AddField("edChartWidth", "", Whole(kMinPixels, kMaxPixels)));
        pForm->addRow("Height (pixels)", AddField("edChartHeight", "", Whole(kMinPixels, kMaxPixels)));
        pForm->addRow("Resolution (dpi)", AddField("edChartResolution", "", Whole(30, 2400)));
        Finish(pForm);
    }

    std::optional<std::vector<double>> Execute(int lWidth, int lHeight)
    {
        return Run({QString::number(lWidth), QString::number(lHeight), QStringLiteral("96")});
    }
};

std::string Bytes(const QByteArray& a)
{
    return std::string(a.constData(), static_cast<std::size_t>(a.size()));
}

std::string LowerExtension(const std::string& sFile)
{
    const std::size_t lDot = sFile.rfind('.');
    std::string s = lDot == std::string::npos ? std::string() : sFile.substr(lDot + 1);
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

} // namespace

void MainWindow::DrawShownPage(Canvas& oCanvas, int lWidth, int lHeight)
{
    oCanvas.Clear(Rgb{255, 255, 255});
    const auto SpectrumOn = [&](const Spectrum* pSpectrum, QtCanvas& oOwn) {
        if (pSpectrum == nullptr) {
            return;
        }
        SpectrumPlot& oPlot = PlotOf(*pSpectrum, oOwn);
        oPlot.SetImage(&oCanvas);
        oPlot.Draw(lHeight, lWidth);
        oPlot.SetImage(&oOwn);
    };
    switch (m_ppgcPlots->currentIndex()) {
    case 1: {
        RvCurvePlot oCurve(&oCanvas, &m_oSession.Orbit().GridSearch(), m_oSession.Orbit().AlignedSeries(), m_pchbPhasePlot->isChecked());
        oCurve.Draw(lHeight, lWidth);
        break;
    }
    case 2: SpectrumOn(m_oSession.Correlation().Template(), m_oCorrelationTemplateCanvas); break;
    case 3: SpectrumOn(m_oSession.Correlation().CorrelationDetail(), m_oCorrelationDetailCanvas); break;
    case 4: SpectrumOn(m_oSession.Correlation().CorrelationFunction(), m_oCorrelationFunctionCanvas); break;
    case kPeriodogramPage:
        if (const auto& oPeriodogram = m_oSession.Periods().LastPeriodogram()) {
            PeriodogramPlot oPlot(&oCanvas);
            oPlot.SetPeriodogram(*oPeriodogram);
            oPlot.SetPdmScan(m_oSession.Periods().PdmScan());
            oPlot.Draw(lHeight, lWidth);
        }
        break;
    default: SpectrumOn(GetCurrentSpectrum(), m_oSpectrumCanvas); break;
    }
    RedrawShownPage();
}

void MainWindow::RedrawShownPage()
{
    switch (m_ppgcPlots->currentIndex()) {
    case 1: DrawRVGraph(); break;
    case 2:
    case 3:
    case 4: RedrawCorrelationPages(); break;
    case kPeriodogramPage: DrawPeriodogram(); break;
    default: RedrawSpectrum(); break;
    }
}

Outcome MainWindow::ExportChart(const std::string& sFile, int lWidth, int lHeight, int lDotsPerInch)
{
    const std::string sExtension = LowerExtension(sFile);
    std::string sBytes;
    if (sExtension == "svg") {
        SvgCanvas oSvg(lWidth, lHeight);
        DrawShownPage(oSvg, lWidth, lHeight);
        sBytes = oSvg.Document();
    } else if (sExtension == "png" || sExtension == "pdf") {
        QtCanvas oCanvas;
        oCanvas.Resize(lWidth, lHeight);
        DrawShownPage(oCanvas, lWidth, lHeight);
        QImage oImage = oCanvas.Image();
        const int lDotsPerMetre = static_cast<int>(lDotsPerInch / 0.0254 + 0.5);
        oImage.setDotsPerMeterX(lDotsPerMetre);
        oImage.setDotsPerMeterY(lDotsPerMetre);
        QByteArray aBytes;
        QBuffer oBuffer(&aBytes);
        oBuffer.open(QIODevice::WriteOnly);
        if (sExtension == "png") {
            oImage.save(&oBuffer, "PNG");
        } else {
            // One page of the chart's size at the resolution.
            QPdfWriter oPdf(&oBuffer);
            oPdf.setResolution(lDotsPerInch);
            oPdf.setPageSize(QPageSize(QSizeF(lWidth * 25.4 / lDotsPerInch, lHeight * 25.4 / lDotsPerInch),
                                       QPageSize::Millimeter));
            oPdf.setPageMargins(QMarginsF(0, 0, 0, 0));
            QPainter oPainter(&oPdf);
            oPainter.drawImage(QRect(0, 0, oPdf.width(), oPdf.height()), oImage);
        }
        sBytes = Bytes(aBytes);
    } else {
        return Message{"Error!", "A chart is exported as .png, .svg or .pdf, not as \"" + sExtension + "\"."};
    }
    if (sBytes.empty() || !quandrel::WriteFileAtomically(sFile, sBytes)) {
        return Message{"Error!", "Unable to write the chart file " + sFile + "!"};
    }
    m_oSession.Settings().Write(Setting::BitmapPath, ExtractDirectory(sFile));
    ShowFeedback(QString::fromStdString("Chart saved to " + ExtractFileName(sFile)));
    return std::nullopt;
}

void MainWindow::onExportChart()
{
    const QImage oShown = ChartBitmap();
    ChartSizeDialog oDialog(this);
    const auto vSize = oDialog.Execute(std::clamp(oShown.width(), kMinPixels, kMaxPixels),
                                       std::clamp(oShown.height(), kMinPixels, kMaxPixels));
    if (!vSize) {
        return;
    }
    WithFile(File::ChartExport, [&](const std::string& sFile) {
        return ExportChart(sFile, static_cast<int>((*vSize)[0]), static_cast<int>((*vSize)[1]),
                           static_cast<int>((*vSize)[2]));
    });
}

void MainWindow::onCopyChart()
{
    QApplication::clipboard()->setImage(ChartBitmap());
    ShowFeedback("Chart copied");
}

void MainWindow::onPrintSpectrum()
{
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        // Without a printer the chart can still go to paper later: as a PDF file.
        if (m_oPrompts.Message("Print spectrum", "No printer is installed.\nPrint the chart to a PDF file instead?",
                               Icon::Question, Buttons::YesNo) == Button::Yes) {
            const QImage oShown = ChartBitmap();
            WithFile(File::ChartPdf, [&](const std::string& sFile) {
                return ExportChart(sFile, std::clamp(oShown.width(), kMinPixels, kMaxPixels),
                                   std::clamp(oShown.height(), kMinPixels, kMaxPixels), 96);
            });
        }
        return;
    }
    QPrinter oPrinter(QPrinterInfo::defaultPrinter());
    QPainter oPainter;
    if (!oPainter.begin(&oPrinter)) {
        m_oPrompts.Message("Error!", "The printer could not be started.", Icon::Warning, Buttons::Ok);
        return;
    }
    const QRect oPage = oPainter.viewport();
    oPainter.drawImage(QRect(0, 0, oPage.width(), oPage.height() / 2), ChartBitmap());
    oPainter.end();
}
