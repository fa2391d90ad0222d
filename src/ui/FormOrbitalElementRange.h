// "Determine orbital elements": the ranges, step counts and use of the six searched elements of the
// orbit search.
#pragma once

#include "session/Session.h"

#include <QDialog>

class QCheckBox;
class QTableWidget;

#include <array>
#include <functional>
#include <optional>

class IPrompts;

// What the dialog shows: the ranges, and those of "&Defaults" (none with fewer than two measurements).
struct SOrbitRangeInput {
    SOrbitSearch oSearch;
    std::optional<SOrbitSearch> oDefaults;
    // Whether "&OK" may close the dialog with these ranges: a message that keeps it open.
    std::function<Outcome(const SOrbitSearch&)> fnCheck;
    // Ranges from the data for "&Suggest" (the steps of the search given are kept); a message when
    // there are none.
    std::function<Outcome(SOrbitSearch&)> fnSuggest;
};

class TfrmOrbitalElementRange : public QDialog {
    Q_OBJECT
public:
    explicit TfrmOrbitalElementRange(IPrompts& oPrompts, QWidget* pParent = nullptr);

    // Shows the ranges; those confirmed with "&OK", nothing on any other way out. A limit or a number
    // of steps that is no number keeps the dialog open with a message.
    std::optional<SOrbitSearch> Execute(const SOrbitRangeInput& oInput);

private:
    void FillGrid();
    void UpdateEditable();
    void btnRestoreDefaultsClick();
    void btnSuggestClick();
    void btnOKClick();

    IPrompts& m_oPrompts;
    SOrbitRangeInput m_oInput;
    SOrbitSearch m_oShown;
    QTableWidget* m_pstgRange;
    std::array<QCheckBox*, 6> m_apchbUse{};
    QCheckBox* m_pchbLeastSquares = nullptr;
};
