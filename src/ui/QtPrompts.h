// The prompt service with real Qt dialogs, message boxes and cursor.
#pragma once

#include "Prompts.h"

class QWidget;

class QtPrompts : public Prompts {
public:
    explicit QtPrompts(QWidget* pParent = nullptr) : m_pParent(pParent) {}
    void SetParent(QWidget* pParent) { m_pParent = pParent; }

    Button Message(const std::string& sTitle, const std::string& sText, Icon eIcon, Buttons eButtons) override;
    std::optional<std::string> OpenFile(const FileDialog& oDialog) override;
    std::vector<std::string> OpenFiles(const FileDialog& oDialog) override;
    std::optional<std::string> SaveFile(const FileDialog& oDialog) override;
    void SetBusy(bool bBusy) override;
    bool OpenDocument(const std::string& sPath) override;
    std::optional<std::size_t> ChooseItem(const std::string& sTitle, const std::string& sLabel,
                                          const std::vector<std::string>& vItems) override;

private:
    QWidget* m_pParent;
};
