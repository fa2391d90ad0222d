// The main window's handlers of the table of radial velocities: observation time and coordinates,
// adding measurements, editing the table, and the project files.
#include "FormMain.h"

#include "FormObjectCoordinates.h"
#include "FormTimeStamp.h"
#include "Prompts.h"

#include "RvTableModel.h"
#include "core/NumberText.h"
#include "core/UtilsClass.h"

#include <QStatusBar>
#include <QTableView>

#include <algorithm>

namespace {

QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

} // namespace

void TfrmMain::mniTimeStampClick()
{
    if (GetCurrentSpectrum() == nullptr) {
        return;
    }
    double fOwnTime = 0.0;
    const auto oTime = m_pfrmTimeStamp->Execute(m_oSession.Settings().ReadTimeZone(),
                                                m_oSession.CurrentObservationTime(fOwnTime) ? std::optional(fOwnTime)
                                                                                            : std::nullopt);
    if (!oTime) {
        return;
    }
    m_oSession.Settings().WriteTimeZone(oTime->oZone);
    if (const std::string sDoubt = CSession::DoubtfulJulianDate(oTime->fJulianDate); !sDoubt.empty() &&
        m_oPrompts.Message("Warning!", sDoubt + "\n\rUse it all the same?", EIcon::Question, EButtons::YesNo) !=
            EButton::Yes) {
        return;
    }
    m_oSession.SetObservationTime(oTime->fJulianDate);
}

void TfrmMain::mniObjectCoordinatesClick()
{
    if (const auto oCoordinates = m_pfrmObjectCoordinates->Execute(m_oSession.ObjectCoordinates())) {
        m_oSession.SetObjectCoordinates(*oCoordinates);
    }
}

void TfrmMain::EnsureCoordinates()
{
    if (!m_oSession.AreObjectCoordinatesSet() &&
        m_oPrompts.Message("No object coordinates specified!", "Please specify object coordinates before evaluating!",
                           EIcon::Warning, EButtons::OkCancel) == EButton::Ok) {
        mniObjectCoordinatesClick();
    }
}

bool TfrmMain::EnsureObservationTime()
{
    double fJulianDate = 0.0;
    if (GetCurrentSpectrum() == nullptr || m_oSession.CurrentObservationTime(fJulianDate)) {
        return GetCurrentSpectrum() != nullptr;
    }
    if (m_oPrompts.Message("No time stamp specified!", "Please specify date and time before evaluating!",
                           EIcon::Warning, EButtons::OkCancel) != EButton::Ok) {
        return false;
    }
    mniTimeStampClick();
    return m_oSession.CurrentObservationTime(fJulianDate);
}

void TfrmMain::btnAddMeasurementClick()
{
    if (!EnsureObservationTime()) {
        return;
    }
    // A spectrum whose header names its object offers those coordinates to a table without any, and
    // says so when they lie away from the table's object.
    if (const auto oHeader = m_oSession.HeaderCoordinates(); oHeader && !m_oSession.AreObjectCoordinatesSet()) {
        const std::string sObject = GetCurrentSpectrum()->GetMetadata().sObject;
        if (m_oPrompts.Message("Object coordinates",
                               "Take the object coordinates of the spectrum's header" +
                                   (sObject.empty() ? std::string() : " (" + sObject + ")") + " for the table?",
                               EIcon::Question, EButtons::YesNo) == EButton::Yes) {
            m_oSession.SetObjectCoordinates(*oHeader);
        }
    }
    EnsureCoordinates();
    if (const std::string sMismatch = m_oSession.HeaderCoordinatesMismatch(); !sMismatch.empty() &&
        m_oPrompts.Message("Warning!", sMismatch + " Add the measurement all the same?", EIcon::Warning,
                           EButtons::YesNo) != EButton::Yes) {
        return;
    }
    // A time taken over from another spectrum (the time dialog starts from the last one) is asked about.
    if (const auto lRow = m_oSession.OtherRowAtCurrentTime();
        lRow && m_oPrompts.Message("Warning!",
                                   "Row " + std::to_string(*lRow + 1) + " of the table (" +
                                       CRvTableModel::TimeText(m_oSession.Table().GetRowJulianDate(*lRow)).trimmed().toStdString() +
                                       ") has the same observation time.\nAdd the measurement all the same?",
                                   EIcon::Warning, EButtons::YesNo) != EButton::Yes) {
        return;
    }
    if (!Report(m_oSession.AddMeasurement())) {
        return;
    }
    double fJulianDate = 0.0;
    m_oSession.CurrentObservationTime(fJulianDate);
    const auto& vRows = m_oSession.Table().Rows();
    const auto itRow = std::find_if(vRows.begin(), vRows.end(), [&](const SMeasurementRow& o) {
        return o.fSpectrumKey == GetCurrentSpectrum()->GetIntensitySum();
    });
    const int lRow = static_cast<int>(itRow - vRows.begin());
    // The new row is shown and selected.
    const QModelIndex oIndex = m_pRvTableModel->index(CRvTableModel::ModelRow(lRow), 0);
    m_pstgMatrix->setCurrentIndex(oIndex);
    m_pstgMatrix->scrollTo(oIndex);
    ShowFeedback(QString("Row %1 added (JD %2)").arg(lRow + 1).arg(QString::fromStdString(quandrel::FormatFixed(fJulianDate, 4))));
}

void TfrmMain::mniClearSingleCellClick()
{
    m_oSession.ClearCell(m_pstgMatrix->currentIndex().row() - 2, m_pstgMatrix->currentIndex().column() - 1);
}

void TfrmMain::mniRemoveEvaluationClick()
{
    const int32_t lRow = m_pRvTableModel->DataRow(m_pstgMatrix->currentIndex().row());
    if (lRow < 0) {
        return;
    }
    const QString sTime = CRvTableModel::TimeText(m_oSession.Table().GetRowJulianDate(lRow)).trimmed();
    if (m_oPrompts.Message("Warning!",
                           "Remove row " + std::to_string(lRow + 1) + " (" + sTime.toStdString() + ") from the table?",
                           EIcon::Question, EButtons::YesNo) != EButton::Yes) {
        return;
    }
    m_oSession.RemoveRow(lRow);
    ShowFeedback(QString("Row %1 (%2) removed").arg(lRow + 1).arg(sTime));
}

void TfrmMain::mniUndoClick()
{
    const std::string sWhat = m_oSession.UndoCaption();
    if (m_oSession.Undo()) {
        ShowFeedback(Q("Undone: " + sWhat));
    } else if (!sWhat.empty()) {
        ShowFeedback(Q("Cannot undo " + sWhat + ": what it changed is gone"));
    }
    UpdateCommandStates();
}

void TfrmMain::mniRemoveSingleColumnClick()
{
    m_oSession.ClearColumn(m_pstgMatrix->currentIndex().column() - 1);
}

bool TfrmMain::AskToSaveTable()
{
    if (m_oSession.Table().IsSaved()) {
        return true;
    }
    // Yes saves (and goes on only when that worked), No goes on without, Cancel stops.
    switch (m_oPrompts.Message("Warning!", "Safe changes in RV evaluation?", EIcon::Question, EButtons::YesNoCancel)) {
    case EButton::Yes:
        return mniSaveProjectClick();
    case EButton::No:
        return true;
    default:
        return false;
    }
}

void TfrmMain::mniClearMatrixClick()
{
    if (AskToSaveTable()) {
        m_oSession.CloseProject();
        ShowFeedback("Project closed");
    }
}

void TfrmMain::ShowProjectOpened()
{
    const std::size_t lRows = m_oSession.Table().Rows().size();
    ShowFeedback(Q("Project " + ExtractFileName(m_oSession.ProjectPath()) + " opened: " + std::to_string(lRows) +
                   (lRows == 1 ? " row" : " rows")));
}

void TfrmMain::mniRemoveFromMatrixClick()
{
    m_oSession.RemoveCurrentFromTable();
}

void TfrmMain::mniOpenProjectClick()
{
    // A project read replaces the table: unsaved rows are offered for saving first, as on closing.
    if (!AskToSaveTable()) {
        return;
    }
    WithFile(EFile::OpenProject, [this](const std::string& sFile) {
        Outcome oOutcome = m_oSession.OpenProject(sFile);
        if (!oOutcome) {
            m_oSession.Settings().AddRecentFile(sFile);
            RefreshRecentFiles();
            ShowProjectOpened();
        }
        return oOutcome;
    });
}

bool TfrmMain::mniSaveProjectClick()
{
    // A project with a file goes back to it; a new one asks for one.
    if (m_oSession.ProjectPath().empty()) {
        return mniSaveProjectAsClick();
    }
    const std::string sFile = m_oSession.ProjectPath();
    if (!Report(m_oSession.SaveProject(sFile))) {
        return false;
    }
    ShowFeedback(Q("Project saved to " + ExtractFileName(sFile)));
    return true;
}

bool TfrmMain::mniSaveProjectAsClick()
{
    return WithFile(EFile::SaveProject, [this](const std::string& sFile) {
        Outcome oOutcome = m_oSession.SaveProject(sFile);
        if (!oOutcome) {
            ShowFeedback(Q("Project saved to " + ExtractFileName(sFile)));
        }
        return oOutcome;
    });
}

void TfrmMain::mniDumpMeasurementsClick()
{
    WithFile(EFile::Measurements, [this](const std::string& sFile) { return m_oSession.DumpMeasurements(sFile); });
}

void TfrmMain::mniExportResultsClick()
{
    EnsureCoordinates();
    WithFile(EFile::Results, [this](const std::string& sFile) { return m_oSession.ExportResults(sFile); });
}
