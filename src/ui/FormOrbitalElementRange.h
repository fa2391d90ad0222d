// "Determine orbital elements": the ranges, step counts and use of the six
// searched elements; "&OK" runs the grid search and the refinement.
#pragma once

#include "orbit/OrbitalElementsClass.h"

#include <QDialog>

#include <array>

class CIniFile;
class IPrompts;
class QCheckBox;
class QTableWidget;

class TfrmOrbitalElementRange : public QDialog {
    Q_OBJECT
public:
    TfrmOrbitalElementRange(CIniFile& oSettings, IPrompts& oPrompts, QWidget* pParent = nullptr);

    // The orbit object to search (not owned); set before every showing.
    void SetOrbitalElements(COrbitalElements* pOrbitalElements) { m_pOrbitalElements = pOrbitalElements; }

protected:
    void showEvent(QShowEvent* pEvent) override;
    void done(int lResult) override;

private:
    void FillGrid();
    void UpdateEditable();
    void btnRestoreDefaultsClick();
    void btnOKClick();
    void InvalidData();

    CIniFile& m_oSettings;
    IPrompts& m_oPrompts;
    COrbitalElements* m_pOrbitalElements = nullptr;
    SOrbitalElements m_oLower;
    SOrbitalElements m_oUpper;
    SOrbitalElements m_oLowerBackup;
    SOrbitalElements m_oUpperBackup;
    // P, T0, e, omega, a1 sin i, gamma: the rows of the grid and the parameter order.
    std::array<int32_t, 6> m_alSteps{10, 10, 10, 10, 10, 10};
    bool m_bFirstShowing = true;
    QTableWidget* m_pstgRange;
    std::array<QCheckBox*, 6> m_apchbUse{};
};
