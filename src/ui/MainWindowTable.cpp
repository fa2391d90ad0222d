// The main window's handlers of the table of radial velocities: observation time and coordinates,
// adding measurements, editing the table, and the project files.
#include "MainWindow.h"

#include "ObjectCoordinatesDialog.h"
#include "ObservationTimeDialog.h"
#include "Prompts.h"

#include "RvTableModel.h"
#include "core/NumberText.h"
#include "core/Utils.h"

#include <QStatusBar>
#include <QTableView>

#include <algorithm>

namespace {

QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

} // namespace

void MainWindow::onObservationTime()
{
    if (GetCurrentSpectrum() == nullptr) {
        return;
    }
    const auto oTime = m_pfrmObservationTime->Execute(m_oSession.Settings().ReadTimeZone(),
                                                      m_oSession.Spectra().CurrentObservationTime());
    if (!oTime) {
        return;
    }
    m_oSession.Settings().WriteTimeZone(oTime->oZone);
    if (const std::string sDoubt = SpectraSession::DoubtfulJulianDate(oTime->fJulianDate); !sDoubt.empty() &&
        m_oPrompts.Message("Warning!", sDoubt + "\n\rUse it all the same?", Icon::Question, Buttons::YesNo) !=
            Button::Yes) {
        return;
    }
    m_oSession.Spectra().SetObservationTime(oTime->fJulianDate);
}

void MainWindow::onObjectCoordinates()
{
    if (const auto oCoordinates = m_pfrmObjectCoordinates->Execute(m_oSession.Project().ObjectPosition())) {
        m_oSession.Project().SetObjectCoordinates(*oCoordinates);
    }
}

void MainWindow::EnsureCoordinates()
{
    if (!m_oSession.Project().ObjectPosition() &&
        m_oPrompts.Message("No object coordinates specified!", "Please specify object coordinates before evaluating!",
                           Icon::Warning, Buttons::OkCancel) == Button::Ok) {
        onObjectCoordinates();
    }
}

bool MainWindow::EnsureObservationTime()
{
    if (GetCurrentSpectrum() == nullptr || m_oSession.Spectra().CurrentObservationTime()) {
        return GetCurrentSpectrum() != nullptr;
    }
    if (m_oPrompts.Message("No time stamp specified!", "Please specify date and time before evaluating!",
                           Icon::Warning, Buttons::OkCancel) != Button::Ok) {
        return false;
    }
    onObservationTime();
    return m_oSession.Spectra().CurrentObservationTime().has_value();
}

void MainWindow::onAddMeasurement()
{
    if (!EnsureObservationTime()) {
        return;
    }
    // A spectrum whose header names its object offers those coordinates to a table without any, and
    // says so when they lie away from the table's object.
    if (const auto oHeader = m_oSession.Spectra().HeaderCoordinates(); oHeader && !m_oSession.Project().ObjectPosition()) {
        const std::string sObject = GetCurrentSpectrum()->GetMetadata().sObject;
        if (m_oPrompts.Message("Object coordinates",
                               "Take the object coordinates of the spectrum's header" +
                                   (sObject.empty() ? std::string() : " (" + sObject + ")") + " for the table?",
                               Icon::Question, Buttons::YesNo) == Button::Yes) {
            m_oSession.Project().SetObjectCoordinates(*oHeader);
        }
    }
    EnsureCoordinates();
    if (const std::string sMismatch = m_oSession.Spectra().HeaderCoordinatesMismatch(); !sMismatch.empty() &&
        m_oPrompts.Message("Warning!", sMismatch + " Add the measurement all the same?", Icon::Warning,
                           Buttons::YesNo) != Button::Yes) {
        return;
    }
    // A time taken over from another spectrum (the time dialog starts from the last one) is asked about.
    if (const auto lRow = m_oSession.Project().OtherRowAtCurrentTime();
        lRow && m_oPrompts.Message("Warning!",
                                   "Row " + std::to_string(*lRow + 1) + " of the table (" +
                                       RvTableModel::TimeText(m_oSession.Project().Table().GetRowJulianDate(*lRow)).trimmed().toStdString() +
                                       ") has the same observation time.\nAdd the measurement all the same?",
                                   Icon::Warning, Buttons::YesNo) != Button::Yes) {
        return;
    }
    if (!Report(m_oSession.Project().AddMeasurement())) {
        return;
    }
    const double fJulianDate = m_oSession.Spectra().CurrentObservationTime().value_or(0.0);
    const int lRow = m_oSession.Project().CurrentRow().value_or(0);
    // The new row is shown and selected.
    const QModelIndex oIndex = m_pRvTableModel->index(RvTableModel::ModelRow(lRow), 0);
    m_pstgTable->setCurrentIndex(oIndex);
    m_pstgTable->scrollTo(oIndex);
    ShowFeedback(QString("Row %1 added (JD %2)").arg(lRow + 1).arg(QString::fromStdString(quandrel::FormatFixed(fJulianDate, 4))));
}

void MainWindow::onClearCell()
{
    m_oSession.Project().ClearCell(m_pstgTable->currentIndex().row() - 2, m_pstgTable->currentIndex().column() - 1);
}

void MainWindow::onClearRow()
{
    const int32_t lRow = m_pRvTableModel->DataRow(m_pstgTable->currentIndex().row());
    if (lRow < 0) {
        return;
    }
    const QString sTime = RvTableModel::TimeText(m_oSession.Project().Table().GetRowJulianDate(lRow)).trimmed();
    if (m_oPrompts.Message("Warning!",
                           "Remove row " + std::to_string(lRow + 1) + " (" + sTime.toStdString() + ") from the table?",
                           Icon::Question, Buttons::YesNo) != Button::Yes) {
        return;
    }
    m_oSession.Project().RemoveRow(lRow);
    ShowFeedback(QString("Row %1 (%2) removed").arg(lRow + 1).arg(sTime));
}

void MainWindow::onUndo()
{
    const std::string sWhat = m_oSession.UndoCaption();
    if (m_oSession.Undo()) {
        ShowFeedback(Q("Undone: " + sWhat));
    } else if (!sWhat.empty()) {
        ShowFeedback(Q("Cannot undo " + sWhat + ": what it changed is gone"));
    }
    UpdateCommandStates();
}

void MainWindow::onClearColumn()
{
    m_oSession.Project().ClearColumn(m_pstgTable->currentIndex().column() - 1);
}

bool MainWindow::AskToSaveTable()
{
    if (m_oSession.Project().Table().IsSaved()) {
        return true;
    }
    // Yes saves (and goes on only when that worked), No goes on without, Cancel stops.
    switch (m_oPrompts.Message("Warning!", "Save changes in RV evaluation?", Icon::Question, Buttons::YesNoCancel)) {
    case Button::Yes:
        return onSaveProject();
    case Button::No:
        return true;
    default:
        return false;
    }
}

void MainWindow::onClearTable()
{
    if (AskToSaveTable()) {
        m_oSession.Project().CloseProject();
        ShowFeedback("Project closed");
    }
}

void MainWindow::ShowProjectOpened()
{
    const std::size_t lRows = m_oSession.Project().Table().Rows().size();
    ShowFeedback(Q("Project " + ExtractFileName(m_oSession.Project().ProjectPath()) + " opened: " + std::to_string(lRows) +
                   (lRows == 1 ? " row" : " rows")));
}

void MainWindow::onRemoveFromTable()
{
    m_oSession.Project().RemoveCurrentFromTable();
}

void MainWindow::onOpenProject()
{
    // A project read replaces the table: unsaved rows are offered for saving first, as on closing.
    if (!AskToSaveTable()) {
        return;
    }
    WithFile(File::OpenProject, [this](const std::string& sFile) {
        Outcome oOutcome = m_oSession.Project().OpenProject(sFile);
        if (!oOutcome) {
            m_oSession.Settings().AddRecentFile(sFile);
            RefreshRecentFiles();
            ShowProjectOpened();
        }
        return oOutcome;
    });
}

bool MainWindow::onSaveProject()
{
    // A project with a file goes back to it; a new one asks for one.
    if (m_oSession.Project().ProjectPath().empty()) {
        return onSaveProjectAs();
    }
    const std::string sFile = m_oSession.Project().ProjectPath();
    if (!Report(m_oSession.Project().SaveProject(sFile))) {
        return false;
    }
    ShowFeedback(Q("Project saved to " + ExtractFileName(sFile)));
    return true;
}

bool MainWindow::onSaveProjectAs()
{
    return WithFile(File::SaveProject, [this](const std::string& sFile) {
        Outcome oOutcome = m_oSession.Project().SaveProject(sFile);
        if (!oOutcome) {
            ShowFeedback(Q("Project saved to " + ExtractFileName(sFile)));
        }
        return oOutcome;
    });
}

void MainWindow::onDumpMeasurements()
{
    WithFile(File::Measurements, [this](const std::string& sFile) { return m_oSession.Project().DumpMeasurements(sFile); });
}

void MainWindow::onExportResults()
{
    EnsureCoordinates();
    WithFile(File::Results, [this](const std::string& sFile) { return m_oSession.Project().ExportResults(sFile); });
}
