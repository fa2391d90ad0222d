#include "HelpWindow.h"

#include "JpegPicture.h"

#include <QFile>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

// The picture lives in the resources of this library.
static void InitPictureResource()
{
    Q_INIT_RESOURCE(ui);
}

namespace {

// Paints the picture stretched over the whole widget.
class PictureView : public QWidget {
public:
    PictureView(const QImage& oPicture, QWidget* pParent) : QWidget(pParent), m_oPicture(oPicture)
    {
        setObjectName("imgAbout");
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter oPainter(this);
        if (m_oPicture.isNull()) {
            oPainter.fillRect(rect(), Qt::black);
        } else {
            oPainter.drawImage(rect(), m_oPicture);
        }
    }

private:
    const QImage& m_oPicture;
};

} // namespace

HelpWindow::HelpWindow(QWidget* pParent) : QDialog(pParent)
{
    setObjectName("frmHelp");
    setWindowTitle("About Quandrel");
    resize(616, 493);
    InitPictureResource();
    QFile oFile(":/quandrel/about.jpg");
    if (oFile.open(QIODevice::ReadOnly)) {
        const QByteArray oBytes = oFile.readAll();
        m_oPicture = DecodeJpeg(reinterpret_cast<const unsigned char*>(oBytes.constData()),
                                static_cast<std::size_t>(oBytes.size()));
    }
    auto* pbtnOK = new QPushButton("&OK");
    pbtnOK->setObjectName("btnOK");
    auto* pStrip = new QHBoxLayout;
    pStrip->addStretch();
    pStrip->addWidget(pbtnOK);
    pStrip->addStretch();
    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 6);
    pLayout->addWidget(new PictureView(m_oPicture, this), 1);
    pLayout->addLayout(pStrip);
    connect(pbtnOK, &QPushButton::clicked, this, &QDialog::accept);
}
