// The main window's file dialogs, from one table of titles, filters, extensions and the settings
// that remember their folders, and the helpers that ask for a file and report a failure.
#include "MainWindow.h"

#include "Prompts.h"

namespace {

struct FileDialogKind {
    const char* pcTitle;
    const char* pcFilter;
    const char* pcDefaultExtension;
    bool bSave;
    Setting ePath;
};

constexpr const char* kText = "Text files (*.txt)|*.txt|All files (*.*)|*.*";
constexpr const char* kTable = "Matrix files (*.mtx)|*.mtx|All files (*.*)|*.*";
constexpr const char* kAll = "All files (*.*)|*.*";

// In the order of MainWindow::File.
constexpr FileDialogKind kFileDialogs[] = {
    {"Load spectrum", kAll, "", false, Setting::SpectraPath},
    {"Load template", kAll, "", false, Setting::CorrelationTemplatePath},
    {"Save spectrum as bitmap", "Bitmaps (*.bmp)|*.bmp|All files (*.*)|*.*", "*.bmp", true, Setting::BitmapPath},
    {"Load file with inertial (laboratory) lines", "ASCII Text files (*.asc)|*.asc|All files (*.*)|*.*", "", false,
     Setting::LaboratoryLinesFilePath},
    {"Load file with calibration reference lines", "Ascii files (*.asc)|*.asc|All files (*.*)|*.*", "", false,
     Setting::CalibrationFilePath},
    {"Save calibrated spectrum", kText, "*.txt", true, Setting::SpectraPath},
    {"Load matrix", kTable, "mtx", false, Setting::TablePath},
    {"Save matrix", kTable, "mtx", true, Setting::TablePath},
    {"Export measurements to text file", kText, "txt", true, Setting::TableDumpPath},
    // Results are text: proposing ".mtx" would put them over a project.
    {"Export matrix", "text files (*.txt)|*.txt|All files (*.*)|*.*", "txt", true, Setting::ExportPath},
    {"Export orbital elements", kText, "*.txt", true, Setting::ElementsExportPath},
    {"Export residuals", kText, "*.txt", true, Setting::ElementsExportPath},
    {"Import external RV values", "ASCII Text files (*.txt)|*.txt|All files (*.*)|*.*", "txt", false,
     Setting::ImportRVPath},
    {"Load cross correlation parameter set", kAll, "", false, Setting::CorrelationParametersPath},
    {"Save cross correlation parameter set", kText, "*.txt", true, Setting::CorrelationParametersPath},
    {"Save spectrum as FITS", "FITS files (*.fits)|*.fits|All files (*.*)|*.*", "fits", true, Setting::SpectraPath},
    {"Export chart", "PNG images (*.png)|*.png|SVG drawings (*.svg)|*.svg|PDF documents (*.pdf)|*.pdf", "png", true,
     Setting::BitmapPath},
    {"Print chart to PDF file", "PDF documents (*.pdf)|*.pdf", "pdf", true, Setting::BitmapPath},
};

} // namespace

FileDialog MainWindow::FileDialogOf(File eFile) const
{
    const FileDialogKind& o = kFileDialogs[static_cast<std::size_t>(eFile)];
    FileDialog oDialog;
    oDialog.sTitle = o.pcTitle;
    oDialog.sFilter = o.pcFilter;
    oDialog.sDefaultExtension = o.pcDefaultExtension;
    oDialog.bOverwritePrompt = o.bSave;
    oDialog.sInitialDirectory = m_oSession.Settings().ReadPath(o.ePath);
    return oDialog;
}

std::optional<std::string> MainWindow::AskForFile(File eFile)
{
    const FileDialog oDialog = FileDialogOf(eFile);
    return kFileDialogs[static_cast<std::size_t>(eFile)].bSave ? m_oPrompts.SaveFile(oDialog) : m_oPrompts.OpenFile(oDialog);
}

bool MainWindow::Report(const Outcome& oOutcome)
{
    if (oOutcome) {
        m_oPrompts.Message(oOutcome->sTitle, oOutcome->sText, Icon::Warning, Buttons::Ok);
        return false;
    }
    return true;
}

bool MainWindow::WithFile(File eFile, const std::function<Outcome(const std::string&)>& fnUse)
{
    const auto sFile = AskForFile(eFile);
    return sFile && Report(fnUse(*sFile));
}
