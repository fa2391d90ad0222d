// Turns the help documents' Markdown sources under docs/ into the PDF files
// that the help menu opens, with Qt alone: QTextDocument lays the text out,
// QPdfWriter writes the pages. Images are looked up next to the source.
//
//   make_help_docs SOURCE_FOLDER OUTPUT_FOLDER [PREVIEW.png]
//
// With a third argument the first page of the manual is also drawn into an image.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextDocument>
#include <QUrl>

#include <cstdio>

namespace {

struct SDocument {
    const char* pcSource;
    const char* pcPdf;
    const char* pcTitle;
};

const SDocument kDocuments[] = {
    {"manual.en.md", "Quandrel-Manual.pdf", "Quandrel - Manual"},
    {"manual.de.md", "Quandrel-Handbuch.pdf", "Quandrel - Handbuch"},
    {"reference.en.md", "Quandrel-Reference.pdf", "Quandrel - Reference"},
    {"reference.de.md", "Quandrel-Referenz.pdf", "Quandrel - Referenz"},
};

constexpr int kResolution = 150;                  // dots per inch of the PDF's layout
constexpr double kTextWidthPoints = 595.0 - 2 * 56.0; // A4 less margins of 2 cm each side

bool Load(const QString& sSourceFolder, const SDocument& o, QTextDocument& oDocument)
{
    QFile oFile(sSourceFolder + "/" + o.pcSource);
    if (!oFile.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "make_help_docs: cannot read %s\n", qPrintable(oFile.fileName()));
        return false;
    }
    const QString sMarkdown = QString::fromUtf8(oFile.readAll());
    oDocument.setDefaultFont(QFont("DejaVu Sans", 10));
    oDocument.setDefaultStyleSheet("table { border-collapse: collapse; } th, td { padding: 3px; }");
    oDocument.setMetaInformation(QTextDocument::DocumentTitle, o.pcTitle);
    // The text first: setting it clears the document's resources.
    oDocument.setMarkdown(sMarkdown);
    // Screenshots scaled to the width of the text, under the names the text gives them.
    const QRegularExpression oImage(R"(!\[[^\]]*\]\(([^)\s]+)\))");
    // Nine tenths of the text width leave room for the indent of a list.
    const double fTextWidth = 0.9 * kTextWidthPoints / 72.0 * kResolution;
    for (auto it = oImage.globalMatch(sMarkdown); it.hasNext();) {
        const QString sName = it.next().captured(1);
        QImage oPicture(sSourceFolder + "/" + sName);
        if (oPicture.isNull()) {
            std::fprintf(stderr, "make_help_docs: missing image %s\n", qPrintable(sName));
            return false;
        }
        if (oPicture.width() > fTextWidth) {
            oPicture = oPicture.scaledToWidth(static_cast<int>(fTextWidth), Qt::SmoothTransformation);
        }
        oDocument.addResource(QTextDocument::ImageResource, QUrl(sName), oPicture);
    }
    // Lay the text out again around the pictures' real sizes.
    oDocument.markContentsDirty(0, oDocument.characterCount());
    return true;
}

bool WritePdf(QTextDocument& oDocument, const QString& sFile, const QString& sTitle)
{
    QPdfWriter oWriter(sFile);
    oWriter.setTitle(sTitle);
    oWriter.setCreator("Quandrel");
    oWriter.setResolution(kResolution);
    oWriter.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(56, 56, 56, 56),
                                      QPageLayout::Point));
    oDocument.print(&oWriter);
    return QFile(sFile).size() > 0;
}

// The first page as the PDF shows it, for a look without a PDF viewer.
bool WritePreview(QTextDocument& oDocument, const QString& sFile)
{
    const QSizeF oPage(kTextWidthPoints / 72.0 * kResolution, (842.0 - 2 * 56.0) / 72.0 * kResolution);
    oDocument.setPageSize(oPage);
    QImage oImage(oPage.toSize(), QImage::Format_RGB32);
    oImage.fill(Qt::white);
    QPainter oPainter(&oImage);
    oDocument.drawContents(&oPainter, QRectF(QPointF(0, 0), oPage));
    oPainter.end();
    return oImage.save(sFile);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: make_help_docs SOURCE_FOLDER OUTPUT_FOLDER [PREVIEW.png]\n");
        return 2;
    }
    QGuiApplication oApplication(argc, argv);
    const QString sSource = QString::fromLocal8Bit(argv[1]);
    const QString sOutput = QString::fromLocal8Bit(argv[2]);
    if (!QDir().mkpath(sOutput)) {
        std::fprintf(stderr, "make_help_docs: cannot create %s\n", qPrintable(sOutput));
        return 1;
    }
    for (const SDocument& o : kDocuments) {
        QTextDocument oDocument;
        if (!Load(sSource, o, oDocument) || !WritePdf(oDocument, sOutput + "/" + o.pcPdf, o.pcTitle)) {
            std::fprintf(stderr, "make_help_docs: %s was not written\n", o.pcPdf);
            return 1;
        }
        if (argc == 4 && &o == &kDocuments[0] && !WritePreview(oDocument, QString::fromLocal8Bit(argv[3]))) {
            return 1;
        }
    }
    return 0;
}
