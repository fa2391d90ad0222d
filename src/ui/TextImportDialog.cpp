#include "TextImportDialog.h"

#include "UiUtils.h"

#include "core/CsvFile.h"
#include "core/IniFile.h"
#include "spectrum/Spectrum.h"
#include "core/SpectrumFileImport.h"
#include "core/Utils.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>

#include <utility>

namespace {


template <typename T>
T* Named(T* pWidget, const char* pcName)
{
    pWidget->setObjectName(QString::fromLatin1(pcName));
    return pWidget;
}

QSpinBox* SpinBox(const char* pcName, int lMaximum)
{
    auto* pSpin = Named(new QSpinBox, pcName);
    pSpin->setRange(0, lMaximum);
    return pSpin;
}

} // namespace

TextImportDialog::TextImportDialog(const SettingsGateway& oSettings, QWidget* pParent) : QDialog(pParent), m_oSettings(oSettings)
{
    setObjectName("frmImportConfig");
    setWindowTitle("Configure CSV file import");
    resize(407, 564);

    m_pedLinesToSkip = SpinBox("edLinesToSkip", 1000);
    m_prabUseDelimiters = Named(new QRadioButton("Use &delimiters"), "rabUseDelimiters");
    m_prabUseFixedColumns = Named(new QRadioButton("Use &fixed columns"), "rabUseFixedColumns");
    m_pchbSingleColumn = Named(new QCheckBox("Single column"), "chbSingleColumn");
    m_pchbAutomNmConversion = Named(new QCheckBox(QString::fromUtf8("Autom. nm to Å conversion")), "chbAutomNmConversion");

    m_pgrbDelimiters = Named(new QGroupBox, "grbDelimiters");
    m_pchbTabulator = Named(new QCheckBox("&Tabulator"), "chbTabulator");
    m_pchbSemicolon = Named(new QCheckBox("&Semicolon"), "chbSemicolon");
    m_pchbComma = Named(new QCheckBox("&Comma"), "chbComma");
    m_pchbSpace = Named(new QCheckBox("S&pace"), "chbSpace");
    m_pchbOthers = Named(new QCheckBox("&Others"), "chbOthers");
    m_pedOthers = Named(new QLineEdit, "edOthers");
    m_pchbTreatConsecutiveAsOne = Named(new QCheckBox("T&reat consecutive delimiters as one"), "chbTreatConsecutiveAsOne");
    auto* pDelimiterLayout = new QGridLayout(m_pgrbDelimiters);
    pDelimiterLayout->addWidget(m_pchbTabulator, 0, 0);
    pDelimiterLayout->addWidget(m_pchbSemicolon, 0, 1);
    pDelimiterLayout->addWidget(m_pchbComma, 0, 2);
    pDelimiterLayout->addWidget(m_pchbSpace, 1, 0);
    pDelimiterLayout->addWidget(m_pchbOthers, 1, 1);
    pDelimiterLayout->addWidget(m_pedOthers, 1, 2);
    pDelimiterLayout->addWidget(m_pchbTreatConsecutiveAsOne, 2, 0, 1, 3);

    m_pgrbFixedColumns = Named(new QGroupBox, "grbFixedColumns");
    m_pedStartValue1 = SpinBox("edStartValue1", 1023);
    m_pedNumberCharsValue1 = SpinBox("edNumberCharsValue1", 23);
    m_pedStartValue2 = SpinBox("edStartValue2", 1023);
    m_pedNumberCharsValue2 = SpinBox("edNumberCharsValue2", 23);
    auto* pFixedLayout = new QGridLayout(m_pgrbFixedColumns);
    pFixedLayout->addWidget(new QLabel("Value 1: Start at"), 0, 0);
    pFixedLayout->addWidget(m_pedStartValue1, 0, 1);
    pFixedLayout->addWidget(new QLabel("Number chars"), 0, 2);
    pFixedLayout->addWidget(m_pedNumberCharsValue1, 0, 3);
    pFixedLayout->addWidget(new QLabel("Value 2: start at"), 1, 0);
    pFixedLayout->addWidget(m_pedStartValue2, 1, 1);
    pFixedLayout->addWidget(new QLabel("Number chars"), 1, 2);
    pFixedLayout->addWidget(m_pedNumberCharsValue2, 1, 3);

    m_pstgPreview = Named(new QTableView, "stgPreview");
    m_pstgPreview->setModel(&m_oPreviewModel);
    m_pstgPreview->horizontalHeader()->hide();
    m_pstgPreview->verticalHeader()->hide();
    m_pstgPreview->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_pstgPreview->verticalHeader()->setDefaultSectionSize(16);
    m_pstgPreview->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_pstgPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_plsbRawData = Named(new QListView, "lsbRawData");
    m_plsbRawData->setModel(&m_oRawModel);
    m_plsbRawData->setUniformItemSizes(true);
    m_plsbRawData->setEditTriggers(QAbstractItemView::NoEditTriggers);

    auto* pButtons = new QDialogButtonBox;
    auto* pbtnOK = Named(pButtons->addButton("&OK", QDialogButtonBox::AcceptRole), "btnOK");
    auto* pbtnCancel = Named(pButtons->addButton("&Cancel", QDialogButtonBox::RejectRole), "btnCancel");

    auto* pTop = new QFormLayout;
    pTop->addRow("Lines to skip", m_pedLinesToSkip);
    auto* pModes = new QHBoxLayout;
    pModes->addWidget(m_prabUseDelimiters);
    pModes->addWidget(m_prabUseFixedColumns);
    auto* pFlags = new QHBoxLayout;
    pFlags->addWidget(m_pchbSingleColumn);
    pFlags->addWidget(m_pchbAutomNmConversion);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pTop);
    pLayout->addLayout(pModes);
    pLayout->addLayout(pFlags);
    pLayout->addWidget(m_pgrbDelimiters);
    pLayout->addWidget(m_pgrbFixedColumns);
    pLayout->addWidget(new QLabel("Preview"));
    pLayout->addWidget(m_pstgPreview, 2);
    pLayout->addWidget(new QLabel("Raw data"));
    pLayout->addWidget(m_plsbRawData, 1);
    pLayout->addWidget(pButtons);

    // Signals and slots
    connect(m_prabUseDelimiters, &QRadioButton::clicked, this, [this] {
        ShowPanelOfMode();
        UpdatePreview();
    });
    connect(m_prabUseFixedColumns, &QRadioButton::clicked, this, [this] {
        ShowPanelOfMode();
        UpdatePreview();
    });
    connect(m_pchbOthers, &QCheckBox::toggled, this, [this] {
        EnableDependentControls();
        UpdatePreview();
    });
    for (QCheckBox* pBox : {m_pchbSingleColumn, m_pchbAutomNmConversion}) {
        connect(pBox, &QCheckBox::toggled, this, [this] {
            EnableDependentControls();
            UpdatePreview();
        });
    }
    for (QCheckBox* pBox : {m_pchbTabulator, m_pchbSemicolon, m_pchbComma, m_pchbSpace, m_pchbTreatConsecutiveAsOne}) {
        connect(pBox, &QCheckBox::toggled, this, &TextImportDialog::UpdatePreview);
    }
    for (QSpinBox* pSpin : {m_pedLinesToSkip, m_pedStartValue1, m_pedNumberCharsValue1, m_pedStartValue2,
                            m_pedNumberCharsValue2}) {
        connect(pSpin, &QSpinBox::valueChanged, this, &TextImportDialog::UpdatePreview);
    }
    // Typing into the others edit waits until the edit is clicked.
    m_pedOthers->installEventFilter(this);
    // Enter in the field (which also presses "&OK") or leaving it refreshes the preview first, so "&OK"
    // takes what the preview shows.
    connect(m_pedOthers, &QLineEdit::editingFinished, this, &TextImportDialog::UpdatePreview);
    connect(pbtnOK, &QPushButton::clicked, this, &TextImportDialog::onOk);
    connect(pbtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<ImportedSamples> TextImportDialog::Execute(const std::string& sFilePathAndName)
{
    m_sFilePathAndName = sFilePathAndName;
    exec();
    return std::exchange(m_oResult, std::nullopt);
}

bool TextImportDialog::eventFilter(QObject* pObject, QEvent* pEvent)
{
    if (pObject == m_pedOthers && pEvent->type() == QEvent::MouseButtonPress) {
        UpdatePreview();
    }
    return QDialog::eventFilter(pObject, pEvent);
}

void TextImportDialog::showEvent(QShowEvent* pEvent)
{
    QDialog::showEvent(pEvent);
    if (pEvent->spontaneous()) {
        // Restored from minimised: the user's choices stay as they are.
        return;
    }
    m_pgrbDelimiters->show();
    m_oRawModel.Clear();
    m_vWavelength.clear();
    m_vIntensity.clear();
    m_oPreviewModel.ShowEmpty(12);
    const int alWidths[] = {36, 24, 108, 24, 108};
    for (int i = 0; i < 5; ++i) {
        m_pstgPreview->setColumnWidth(i, alWidths[i]);
    }
    m_oResult.reset();
    // Loading the settings changes many controls; a preview per change would
    // parse a large file many times over, so one preview follows the loading.
    m_bUpdatesEnabled = false;
    LoadSettings();
    // Header lines at the head of this file are proposed for skipping.
    m_pedLinesToSkip->setValue(LinesToSkipAtLeastHeaders(m_sFilePathAndName, m_pedLinesToSkip->value()));
    // The layout this file shows, cut at the user's separators: one column or two.
    if (const auto oSingle = LooksSingleColumn(m_sFilePathAndName, CurrentSettings())) {
        m_pchbSingleColumn->setChecked(*oSingle);
    }
    ShowPanelOfMode();
    EnableControl(m_pedOthers, m_pchbOthers->isChecked());
    m_bUpdatesEnabled = true;
    UpdatePreview();
}

void TextImportDialog::done(int lResult)
{
    // However the dialog closes: no more previews, and the arrays and their memory go.
    m_bUpdatesEnabled = false;
    std::vector<double>().swap(m_vWavelength);
    std::vector<double>().swap(m_vIntensity);
    m_oPreviewModel.ShowEmpty(12);
    m_oRawModel.Clear();
    QDialog::done(lResult);
}

void TextImportDialog::ShowPanelOfMode()
{
    const bool bDelimiters = m_prabUseDelimiters->isChecked();
    m_pgrbDelimiters->setVisible(bDelimiters);
    m_pgrbFixedColumns->setVisible(!bDelimiters);
}

void TextImportDialog::EnableDependentControls()
{
    EnableControl(m_pedOthers, m_pchbOthers->isChecked());
    const bool bTwoColumns = !m_pchbSingleColumn->isChecked();
    EnableControl(m_pedStartValue2, bTwoColumns);
    EnableControl(m_pedNumberCharsValue2, bTwoColumns);
}

ImportSettings TextImportDialog::CurrentSettings() const
{
    ImportSettings oSettings;
    oSettings.lLinesToSkip = m_pedLinesToSkip->value();
    oSettings.bUseDelimiters = m_prabUseDelimiters->isChecked();
    oSettings.sSeparators = BuildSeparatorString(m_pchbSemicolon->isChecked(), m_pchbComma->isChecked(),
                                                 m_pchbSpace->isChecked(), m_pchbOthers->isChecked(),
                                                 OthersBytes(), m_pchbTabulator->isChecked());
    oSettings.bTreatConsecutiveAsOne = m_pchbTreatConsecutiveAsOne->isChecked();
    oSettings.lStartValue1 = m_pedStartValue1->value();
    oSettings.lStartValue2 = m_pedStartValue2->value();
    oSettings.bSingleColumn = m_pchbSingleColumn->isChecked();
    oSettings.bAutomNmConversion = m_pchbAutomNmConversion->isChecked();
    return oSettings;
}

std::string TextImportDialog::OthersBytes() const
{
    // Each character names one byte of the file (as the raw list shows them); a character no byte
    // shows can separate nothing.
    std::string sBytes;
    for (const QChar c : m_pedOthers->text()) {
        if (c.unicode() <= 0xFF) {
            sBytes += static_cast<char>(c.unicode());
        }
    }
    return sBytes;
}

void TextImportDialog::UpdatePreview()
{
    if (!m_bUpdatesEnabled) {
        return;
    }
    m_oRawModel.Load(m_sFilePathAndName);
    m_oPreviewModel.ShowEmpty(1);
    SpectrumFileImport(m_oReader, m_sFilePathAndName, CurrentSettings(), m_vWavelength, m_vIntensity);
    m_oPreviewModel.ShowValues(&m_vWavelength, &m_vIntensity);
}

void TextImportDialog::onOk()
{
    // The samples go to the caller as they are, without a copy; the preview shows none from here on.
    m_oPreviewModel.ShowEmpty(1);
    m_oResult = ImportedSamples{std::move(m_vWavelength), std::move(m_vIntensity)};
    m_vWavelength.clear();
    m_vIntensity.clear();
    SaveSettings();
    accept();
}

void TextImportDialog::LoadSettings()
{
    const bool bDelimiters = m_oSettings.ReadBool(Setting::ImportUseDelimiters);
    m_prabUseDelimiters->setChecked(bDelimiters);
    m_prabUseFixedColumns->setChecked(!bDelimiters);
    m_pchbSingleColumn->setChecked(m_oSettings.ReadBool(Setting::ImportSingleColumn));
    m_pchbAutomNmConversion->setChecked(m_oSettings.ReadBool(Setting::ImportNmConversion));
    m_pedLinesToSkip->setValue(m_oSettings.ReadInteger(Setting::ImportLinesToSkip));
    m_pchbTabulator->setChecked(m_oSettings.ReadBool(Setting::ImportUseTab));
    m_pchbSemicolon->setChecked(m_oSettings.ReadBool(Setting::ImportUseSemicolon));
    m_pchbComma->setChecked(m_oSettings.ReadBool(Setting::ImportUseComma));
    m_pchbSpace->setChecked(m_oSettings.ReadBool(Setting::ImportUseSpace));
    m_pchbOthers->setChecked(m_oSettings.ReadBool(Setting::ImportUseOther));
    const std::string sOthers = m_oSettings.ReadString(Setting::ImportOtherString);
    m_pedOthers->setText(QString::fromLatin1(sOthers.data(), static_cast<qsizetype>(sOthers.size())));
    m_pchbTreatConsecutiveAsOne->setChecked(m_oSettings.ReadBool(Setting::ImportTreatConsecutiveAsOne));
    m_pedStartValue1->setValue(TextToInt(m_oSettings.ReadString(Setting::ImportStartValue1), 0));
    m_pedNumberCharsValue1->setValue(TextToInt(m_oSettings.ReadString(Setting::ImportNumberChars1), 5));
    m_pedStartValue2->setValue(TextToInt(m_oSettings.ReadString(Setting::ImportStartValue2), 5));
    m_pedNumberCharsValue2->setValue(TextToInt(m_oSettings.ReadString(Setting::ImportNumberChars2), 5));
    EnableDependentControls();
}

void TextImportDialog::SaveSettings()
{
    m_oSettings.Write(Setting::ImportUseDelimiters, m_prabUseDelimiters->isChecked());
    m_oSettings.Write(Setting::ImportSingleColumn, m_pchbSingleColumn->isChecked());
    m_oSettings.Write(Setting::ImportNmConversion, m_pchbAutomNmConversion->isChecked());
    m_oSettings.Write(Setting::ImportLinesToSkip, m_pedLinesToSkip->value());
    m_oSettings.Write(Setting::ImportUseTab, m_pchbTabulator->isChecked());
    m_oSettings.Write(Setting::ImportUseSemicolon, m_pchbSemicolon->isChecked());
    m_oSettings.Write(Setting::ImportUseComma, m_pchbComma->isChecked());
    m_oSettings.Write(Setting::ImportUseSpace, m_pchbSpace->isChecked());
    m_oSettings.Write(Setting::ImportUseOther, m_pchbOthers->isChecked());
    m_oSettings.Write(Setting::ImportOtherString, OthersBytes());
    m_oSettings.Write(Setting::ImportTreatConsecutiveAsOne, m_pchbTreatConsecutiveAsOne->isChecked());
    m_oSettings.Write(Setting::ImportStartValue1, std::to_string(m_pedStartValue1->value()));
    m_oSettings.Write(Setting::ImportNumberChars1, std::to_string(m_pedNumberCharsValue1->value()));
    m_oSettings.Write(Setting::ImportStartValue2, std::to_string(m_pedStartValue2->value()));
    m_oSettings.Write(Setting::ImportNumberChars2, std::to_string(m_pedNumberCharsValue2->value()));
}
