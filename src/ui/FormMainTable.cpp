// The main window's handlers of the table of radial velocities: observation time and coordinates,
// adding measurements, editing the table, and the project files.
#include "FormMain.h"

#include "FormObjectCoordinates.h"
#include "FormTimeStamp.h"
#include "Prompts.h"

#include <QTableView>

void TfrmMain::mniTimeStampClick()
{
    if (GetCurrentSpectrum() == nullptr) {
        return;
    }
    const auto oTime = m_pfrmTimeStamp->Execute(m_oSession.Settings().ReadTimeZone());
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
    Report(m_oSession.AddMeasurement());
}

void TfrmMain::mniClearSingleCellClick()
{
    m_oSession.ClearCell(m_pstgMatrix->currentIndex().row() - 2, m_pstgMatrix->currentIndex().column() - 1);
}

void TfrmMain::mniRemoveEvaluationClick()
{
    m_oSession.RemoveRow(m_pstgMatrix->currentIndex().row() - 2);
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
    if (m_oPrompts.Message("Warning!", "Safe changes in RV evaluation?", EIcon::Question, EButtons::YesNo) !=
        EButton::Yes) {
        return true;
    }
    return mniSaveProjectClick();
}

void TfrmMain::mniClearMatrixClick()
{
    if (AskToSaveTable()) {
        m_oSession.CloseProject();
    }
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
        }
        return oOutcome;
    });
}

bool TfrmMain::mniSaveProjectClick()
{
    return WithFile(EFile::SaveProject, [this](const std::string& sFile) { return m_oSession.SaveProject(sFile); });
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
