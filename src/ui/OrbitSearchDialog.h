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

class Prompts;

// What the dialog shows: the ranges, and those of "&Defaults" (none with fewer than two measurements).
struct OrbitRangeInput {
    OrbitSearch oSearch;
    std::optional<OrbitSearch> oDefaults;
    // Whether "&OK" may close the dialog with these ranges: a message that keeps it open.
    std::function<Outcome(const OrbitSearch&)> fnCheck;
    // Ranges from the data for "&Suggest" (the steps of the search given are kept); a message when
    // there are none.
    std::function<SessionResult<OrbitSearch>(const OrbitSearch&)> fnSuggest;
};

class OrbitSearchDialog : public QDialog {
    Q_OBJECT
public:
    explicit OrbitSearchDialog(Prompts& oPrompts, QWidget* pParent = nullptr);

    // Shows the ranges; those confirmed with "&OK", nothing on any other way out. A limit or a number
    // of steps that is no number keeps the dialog open with a message.
    std::optional<OrbitSearch> Execute(const OrbitRangeInput& oInput);

private:
    void FillGrid();
    void UpdateEditable();
    void onRestoreDefaults();
    void onSuggest();
    void onOk();

    Prompts& m_oPrompts;
    OrbitRangeInput m_oInput;
    OrbitSearch m_oShown;
    QTableWidget* m_pstgRange;
    std::array<QCheckBox*, 6> m_apchbUse{};
    QCheckBox* m_pchbLeastSquares = nullptr;
    QCheckBox* m_pchbJitter = nullptr;
};
