// A dialog of number fields with "&OK" and "&Cancel": "&OK" closes it only when every field holds a
// number (the first that does not gets the focus and the dialog stays open); "&Cancel" and every other
// way out give nothing.
#pragma once

#include "core/Result.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

class QLayout;
class QLineEdit;

class NumberFieldsDialog : public QDialog {
    Q_OBJECT
public:
    using Reader = std::function<quandrel::Result<double>(const QLineEdit*)>;

    NumberFieldsDialog(const char* pcObjectName, const QString& sTitle, QWidget* pParent);

protected:
    // A field; fnRead turns its text into a number, or the reason when there is none (by default a
    // real number with either decimal separator).
    QLineEdit* AddField(const char* pcName, const char* pcText = "", Reader fnRead = {});
    // Puts the laid-out fields above the row of buttons ("&OK" named pcOkName).
    void Finish(QLayout* pFields, const char* pcOkName = "btnOK");
    // Runs the dialog modally with these texts (a null text leaves its field as it is): the numbers of
    // the fields, in the order they were added, after "&OK".
    std::optional<std::vector<double>> Run(const std::vector<QString>& vTexts);

private:
    void onOk();

    std::vector<std::pair<QLineEdit*, Reader>> m_vFields;
    std::vector<double> m_vValues;
};
