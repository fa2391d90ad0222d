// Turns the help documents' Markdown sources under docs/ into the PDF files
// that the help menu opens, with Qt alone: QTextDocument lays the text out,
// QPdfWriter writes the pages. Images are looked up next to the source.
//
//   make_help_docs SOURCE_FOLDER OUTPUT_FOLDER [PAGES_FOLDER]
//
// With a third argument every page is also drawn into an image there (Quandrel-Manual-1.png ...),
// for a look without a PDF viewer.
// The pages get a contents after the title and page numbers; headings and pictures stay
// with what follows them, and no page holds a single line of a paragraph.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextTable>
#include <QUrl>

#include <cstdio>
#include <optional>
#include <vector>

namespace {

struct Document {
    const char* pcSource;
    const char* pcPdf;
    const char* pcTitle;
    const char* pcContents; // the caption of the contents
};

const Document kDocuments[] = {
    {"manual.en.md", "Quandrel-Manual.pdf", "Quandrel - Manual", "Contents"},
    {"manual.de.md", "Quandrel-Handbuch.pdf", "Quandrel - Handbuch", "Inhalt"},
    {"reference.en.md", "Quandrel-Reference.pdf", "Quandrel - Reference", "Contents"},
    {"reference.de.md", "Quandrel-Referenz.pdf", "Quandrel - Referenz", "Inhalt"},
};

constexpr int kResolution = 150;                  // dots per inch of the PDF's layout
constexpr double kTextWidthPoints = 595.0 - 2 * 56.0; // A4 less margins of 2 cm each side
constexpr double kFooterHeight = 40;               // pixels below the text for the page number

bool Load(const QString& sSourceFolder, const Document& o, QTextDocument& oDocument)
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
        // The layout enlarges pictures from the screen's 96 dpi to the writer's; the ratio undoes that,
        // so that a picture keeps the width it was given here.
        oPicture.setDevicePixelRatio(kResolution / 96.0);
        oDocument.addResource(QTextDocument::ImageResource, QUrl(sName), oPicture);
    }
    // Lay the text out again around the pictures' real sizes.
    oDocument.markContentsDirty(0, oDocument.characterCount());
    return true;
}

// The text area of a page in the writer's pixels, less a line for the page number.
QSizeF TextArea(const QPdfWriter& oWriter)
{
    const QRectF oPaint = oWriter.pageLayout().paintRectPixels(kResolution);
    return {oPaint.width(), oPaint.height() - kFooterHeight};
}

// After an edit (the contents, a page break) the layout is renewed only as far as the edit reaches and
// may leave later blocks without lines; everything measured here needs all of it, so it is laid out
// again as a whole when a block lacks its lines.
void FinishLayout(QTextDocument& oDocument)
{
    for (QTextBlock oBlock = oDocument.begin(); oBlock.isValid(); oBlock = oBlock.next()) {
        if (oBlock.layout() == nullptr || oBlock.layout()->lineCount() == 0) {
            oDocument.markContentsDirty(0, oDocument.characterCount());
            return;
        }
    }
}

int PageOf(double fY, double fPageHeight)
{
    return static_cast<int>(fY / fPageHeight);
}

// Where each line of the document lies: its page, and the block it belongs to.
struct Line {
    int lPage;
    QTextBlock oBlock;
};

std::vector<Line> LinesByPage(QTextDocument& oDocument)
{
    FinishLayout(oDocument);
    const double fPage = oDocument.pageSize().height();
    std::vector<Line> vLines;
    for (QTextBlock oBlock = oDocument.begin(); oBlock.isValid(); oBlock = oBlock.next()) {
        const QRectF oRect = oDocument.documentLayout()->blockBoundingRect(oBlock);
        const QTextLayout* pLayout = oBlock.layout();
        for (int i = 0; pLayout != nullptr && i < pLayout->lineCount(); ++i) {
            const QTextLine oLine = pLayout->lineAt(i);
            vLines.push_back({PageOf(oRect.top() + oLine.y() + oLine.height() / 2, fPage), oBlock});
        }
    }
    return vLines;
}

// Blocks inside tables cannot start a page; the break goes before the table then.
QTextBlock BreakableBlock(QTextDocument& oDocument, const QTextBlock& oBlock)
{
    QTextCursor oCursor(oBlock);
    if (QTextTable* pTable = oCursor.currentTable()) {
        return oDocument.findBlock(pTable->firstPosition() - 1); // with the paragraph that leads to it
    }
    return oBlock;
}

void SetBreakBefore(const QTextBlock& oBlock, bool bBreak)
{
    QTextCursor oCursor(oBlock);
    QTextBlockFormat oFormat;
    oFormat.setPageBreakPolicy(bBreak ? QTextFormat::PageBreak_AlwaysBefore : QTextFormat::PageBreak_Auto);
    oCursor.mergeBlockFormat(oFormat);
}

// Moves blocks to the next page until no heading or picture ends a page without what follows it and no
// page holds a single line of a paragraph. Returns false when that cannot be reached.
bool KeepTogether(QTextDocument& oDocument)
{
    // The earliest fault is mended first; breaks further on are found again after it.
    std::vector<QTextBlock> vBreaks;
    for (int lRound = 0; lRound < 500; ++lRound) {
        const std::vector<Line> vLines = LinesByPage(oDocument);
        std::optional<QTextBlock> oMove;
        for (std::size_t i = 0; i + 1 < vLines.size() && !oMove; ++i) {
            if (vLines[i].lPage == vLines[i + 1].lPage) {
                continue;
            }
            // A page ends after line i.
            const QTextBlock& oLast = vLines[i].oBlock;
            const bool bHeading = oLast.blockFormat().headingLevel() > 0;
            const bool bPicture = oLast.text().trimmed() == QString(QChar::ObjectReplacementCharacter);
            const bool bSplit = oLast == vLines[i + 1].oBlock;
            const bool bAloneAbove = i == 0 || vLines[i - 1].lPage != vLines[i].lPage;
            const bool bAloneBelow = i + 2 >= vLines.size() || vLines[i + 2].lPage != vLines[i + 1].lPage;
            if (bHeading || bPicture) {
                // With its heading, when the picture follows one.
                const QTextBlock oPrevious = oLast.previous();
                oMove = bPicture && oPrevious.isValid() && oPrevious.blockFormat().headingLevel() > 0 ? oPrevious : oLast;
            } else if (bSplit && (bAloneAbove || bAloneBelow || oLast.layout()->lineCount() <= 3)) {
                oMove = oLast;
            } else if (bAloneBelow) {
                oMove = oLast; // one line on the last page: take the paragraph before it along
            }
        }
        if (!oMove) {
            return true;
        }
        const QTextBlock oBlock = BreakableBlock(oDocument, *oMove);
        if (oBlock.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) {
            std::fprintf(stderr, "make_help_docs: cannot keep together: %s\n", qPrintable(oBlock.text().left(60)));
            return false; // already at the top of a page and still too long
        }
        for (const QTextBlock& oLater : vBreaks) {
            if (oLater.position() > oBlock.position()) {
                SetBreakBefore(oLater, false);
            }
        }
        std::erase_if(vBreaks, [&](const QTextBlock& o) { return o.position() > oBlock.position(); });
        SetBreakBefore(oBlock, true);
        vBreaks.push_back(oBlock);
    }
    return false;
}

// The contents after the title: one row per section, with its page.
struct Contents {
    QTextTable* pTable = nullptr;
    std::vector<QTextBlock> vHeadings; // the heading of each row
};

Contents InsertContents(QTextDocument& oDocument, const char* pcCaption)
{
    std::vector<QTextBlock> vHeadings;
    for (QTextBlock oBlock = oDocument.begin(); oBlock.isValid(); oBlock = oBlock.next()) {
        if (oBlock.blockFormat().headingLevel() == 2) {
            vHeadings.push_back(oBlock);
        }
    }
    QTextCursor oCursor(oDocument.begin());
    oCursor.movePosition(QTextCursor::EndOfBlock);
    QTextBlockFormat oCaption = oDocument.begin().blockFormat();
    oCaption.setHeadingLevel(0);
    oCaption.setTopMargin(12);
    QTextCharFormat oBold;
    oBold.setFontWeight(QFont::Bold);
    oCursor.insertBlock(oCaption, oBold);
    oCursor.insertText(QString::fromUtf8(pcCaption));
    QTextTableFormat oTable;
    oTable.setBorderStyle(QTextFrameFormat::BorderStyle_None);
    oTable.setCellPadding(2);
    oTable.setWidth(QTextLength(QTextLength::PercentageLength, 80));
    oTable.setColumnWidthConstraints({QTextLength(QTextLength::PercentageLength, 90),
                                      QTextLength(QTextLength::PercentageLength, 10)});
    QTextTable* pTable = oCursor.insertTable(static_cast<int>(vHeadings.size()), 2, oTable);
    for (std::size_t i = 0; i < vHeadings.size(); ++i) {
        const int lRow = static_cast<int>(i);
        pTable->cellAt(lRow, 0).firstCursorPosition().insertText(vHeadings[i].text());
        QTextCursor oPage = pTable->cellAt(lRow, 1).firstCursorPosition();
        QTextBlockFormat oRight;
        oRight.setAlignment(Qt::AlignRight);
        oPage.mergeBlockFormat(oRight);
    }
    return {pTable, vHeadings};
}

// The page of each section into its row; a cell is looked up afresh for each change, as editing one
// moves the positions of those after it.
void FillContents(QTextDocument& oDocument, const Contents& o)
{
    FinishLayout(oDocument);
    for (std::size_t i = 0; i < o.vHeadings.size(); ++i) {
        const double fTop = oDocument.documentLayout()->blockBoundingRect(o.vHeadings[i]).top();
        const QTextTableCell oCell = o.pTable->cellAt(static_cast<int>(i), 1);
        QTextCursor oCursor = oCell.firstCursorPosition();
        oCursor.setPosition(oCell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
        oCursor.insertText(QString::number(PageOf(fTop, oDocument.pageSize().height()) + 1));
    }
}

void DrawPage(QTextDocument& oDocument, QPainter& oPainter, int lPage, bool bNumber)
{
    const QSizeF oArea = oDocument.pageSize();
    oPainter.save();
    oPainter.setClipRect(QRectF(QPointF(0, 0), oArea));
    oPainter.translate(0, -lPage * oArea.height());
    QAbstractTextDocumentLayout::PaintContext oContext;
    oContext.clip = QRectF(0, lPage * oArea.height(), oArea.width(), oArea.height());
    oDocument.documentLayout()->draw(&oPainter, oContext);
    oPainter.restore();
    if (bNumber) {
        oPainter.setFont(oDocument.defaultFont());
        oPainter.drawText(QRectF(0, oArea.height(), oArea.width(), kFooterHeight), Qt::AlignHCenter | Qt::AlignBottom,
                          QString::number(lPage + 1));
    }
}

// Lays the document out on the writer's pages, with contents and page numbers, and writes it.
bool WritePdf(QTextDocument& oDocument, const Document& o, const QString& sFile, const QString& sPages)
{
    QPdfWriter oWriter(sFile);
    oWriter.setTitle(o.pcTitle);
    oWriter.setCreator("Quandrel");
    oWriter.setResolution(kResolution);
    oWriter.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(56, 56, 56, 56),
                                      QPageLayout::Point));
    oDocument.documentLayout()->setPaintDevice(&oWriter);
    oDocument.setPageSize(TextArea(oWriter));
    const Contents oContents = InsertContents(oDocument, o.pcContents);
    FillContents(oDocument, oContents);
    if (!KeepTogether(oDocument)) {
        std::fprintf(stderr, "make_help_docs: %s: a page would hold a lone line\n", o.pcSource);
        return false;
    }
    FillContents(oDocument, oContents);
    FinishLayout(oDocument);
    QPainter oPainter(&oWriter);
    for (int lPage = 0; lPage < oDocument.pageCount(); ++lPage) {
        if (lPage > 0) {
            oWriter.newPage();
        }
        DrawPage(oDocument, oPainter, lPage, true);
    }
    oPainter.end();
    for (int lPage = 0; !sPages.isEmpty() && lPage < oDocument.pageCount(); ++lPage) {
        QImage oImage(oDocument.pageSize().toSize() + QSize(0, kFooterHeight), QImage::Format_RGB32);
        oImage.fill(Qt::white);
        QPainter oPreview(&oImage);
        DrawPage(oDocument, oPreview, lPage, true);
        oPreview.end();
        if (!oImage.save(sPages + "/" + QFileInfo(sFile).completeBaseName() + "-" + QString::number(lPage + 1) + ".png")) {
            return false;
        }
    }
    return QFile(sFile).size() > 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: make_help_docs SOURCE_FOLDER OUTPUT_FOLDER [PAGES_FOLDER]\n");
        return 2;
    }
    QGuiApplication oApplication(argc, argv);
    const QString sSource = QString::fromLocal8Bit(argv[1]);
    const QString sOutput = QString::fromLocal8Bit(argv[2]);
    const QString sPages = argc == 4 ? QString::fromLocal8Bit(argv[3]) : QString();
    if (!QDir().mkpath(sOutput)) {
        std::fprintf(stderr, "make_help_docs: cannot create %s\n", qPrintable(sOutput));
        return 1;
    }
    for (const Document& o : kDocuments) {
        QTextDocument oDocument;
        if (!Load(sSource, o, oDocument) || !WritePdf(oDocument, o, sOutput + "/" + o.pcPdf, sPages)) {
            std::fprintf(stderr, "make_help_docs: %s was not written\n", o.pcPdf);
            return 1;
        }
    }
    return 0;
}
