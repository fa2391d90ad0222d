// The prompt service with real Qt dialogs, message boxes and cursor.
#pragma once

#include "Prompts.h"

class QWidget;

class CQtPrompts : public IPrompts {
public:
    explicit CQtPrompts(QWidget* pParent = nullptr) : m_pParent(pParent) {}
    void SetParent(QWidget* pParent) { m_pParent = pParent; }

    EButton Message(const std::string& sTitle, const std::string& sText, EIcon eIcon, EButtons eButtons) override;
    std::optional<std::string> OpenFile(const SFileDialog& oDialog) override;
    std::vector<std::string> OpenFiles(const SFileDialog& oDialog) override;
    std::optional<std::string> SaveFile(const SFileDialog& oDialog) override;
    void SetBusy(bool bBusy) override;
    bool OpenDocument(const std::string& sPath) override;

private:
    QWidget* m_pParent;
};
