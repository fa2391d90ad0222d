// The main window's file dialogs, from one table of titles, filters, extensions and the settings
// that remember their folders, and the helpers that ask for a file and report a failure.
#include "FormMain.h"

#include "Prompts.h"

namespace {

struct SFileDialogKind {
    const char* pcTitle;
    const char* pcFilter;
    const char* pcDefaultExtension;
    bool bSave;
    ESetting ePath;
};

constexpr const char* kText = "Text files (*.txt)|*.txt|All files (*.*)|*.*";
constexpr const char* kMatrix = "Matrix files (*.mtx)|*.mtx|All files (*.*)|*.*";
constexpr const char* kAll = "All files (*.*)|*.*";

// In the order of TfrmMain::EFile.
constexpr SFileDialogKind kFileDialogs[] = {
    {"Load spectrum", kAll, "", false, ESetting::SpectraPath},
    {"Load template", kAll, "", false, ESetting::CCTemplatePath},
    {"Save spectrum as bitmap", "Bitmaps (*.bmp)|*.bmp|All files (*.*)|*.*", "*.bmp", true, ESetting::BitmapPath},
    {"Load file with inertial (laboratory) lines", "ASCII Text files (*.asc)|*.asc|All files (*.*)|*.*", "", false,
     ESetting::InertialLinesFilePath},
    {"Load file with calibration reference lines", "Ascii files (*.asc)|*.asc|All files (*.*)|*.*", "", false,
     ESetting::CalibrationFilePath},
    {"Save calibrated spectrum", kText, "*.txt", true, ESetting::SpectraPath},
    {"Load matrix", kMatrix, "mtx", false, ESetting::MatrixPath},
    {"Save matrix", kMatrix, "mtx", true, ESetting::MatrixPath},
    {"Export measurements to text file", kText, "txt", true, ESetting::MatrixDumpPath},
    // Results are text: proposing ".mtx" would put them over a project.
    {"Export matrix", "text files (*.txt)|*.txt|All files (*.*)|*.*", "txt", true, ESetting::ExportPath},
    {"Export orbital elements", kText, "*.txt", true, ESetting::ElementsExportPath},
    {"Export residuals", kText, "*.txt", true, ESetting::ElementsExportPath},
    {"Import external RV values", "ASCII Text files (*.txt)|*.txt|All files (*.*)|*.*", "txt", false,
     ESetting::ImportRVPath},
    {"Load cross correlation parameter set", kAll, "", false, ESetting::CCParamsPath},
    {"Save cross correlation parameter set", kText, "*.txt", true, ESetting::CCParamsPath},
    {"Save spectrum as FITS", "FITS files (*.fits)|*.fits|All files (*.*)|*.*", "fits", true, ESetting::SpectraPath},
    {"Export chart", "PNG images (*.png)|*.png|SVG drawings (*.svg)|*.svg|PDF documents (*.pdf)|*.pdf", "png", true,
     ESetting::BitmapPath},
    {"Print chart to PDF file", "PDF documents (*.pdf)|*.pdf", "pdf", true, ESetting::BitmapPath},
};

} // namespace

SFileDialog TfrmMain::FileDialogOf(EFile eFile) const
{
    const SFileDialogKind& o = kFileDialogs[static_cast<std::size_t>(eFile)];
    SFileDialog oDialog;
    oDialog.sTitle = o.pcTitle;
    oDialog.sFilter = o.pcFilter;
    oDialog.sDefaultExtension = o.pcDefaultExtension;
    oDialog.bOverwritePrompt = o.bSave;
    oDialog.sInitialDirectory = m_oSession.Settings().ReadPath(o.ePath);
    return oDialog;
}

std::optional<std::string> TfrmMain::AskForFile(EFile eFile)
{
    const SFileDialog oDialog = FileDialogOf(eFile);
    return kFileDialogs[static_cast<std::size_t>(eFile)].bSave ? m_oPrompts.SaveFile(oDialog) : m_oPrompts.OpenFile(oDialog);
}

bool TfrmMain::Report(const Outcome& oOutcome)
{
    if (oOutcome) {
        m_oPrompts.Message(oOutcome->sTitle, oOutcome->sText, EIcon::Warning, EButtons::Ok);
        return false;
    }
    return true;
}

bool TfrmMain::WithFile(EFile eFile, const std::function<Outcome(const std::string&)>& fnUse)
{
    const auto sFile = AskForFile(eFile);
    return sFile && Report(fnUse(*sFile));
}
