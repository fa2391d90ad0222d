// The prompt service for window tests: file dialogs and questions are
// answered from queues, and every message is recorded.
#pragma once

#include "ui/Prompts.h"

#include <deque>
#include <string>
#include <vector>

struct ShownMessage {
    std::string sTitle;
    std::string sText;
    Icon eIcon;
    Buttons eButtons;
};

class ScriptedPrompts : public Prompts {
public:
    Button Message(const std::string& sTitle, const std::string& sText, Icon eIcon, Buttons eButtons) override;
    std::optional<std::string> OpenFile(const FileDialog& oDialog) override;
    std::optional<std::string> SaveFile(const FileDialog& oDialog) override;
    // The next list of qOpenFileLists; without one, the next single file of qOpenFiles.
    std::vector<std::string> OpenFiles(const FileDialog& oDialog) override;
    void SetBusy(bool bBusy) override { vBusy.push_back(bBusy); }
    bool OpenDocument(const std::string& sPath) override
    {
        vDocuments.push_back(sPath);
        return bDocumentsOpen;
    }

    std::optional<std::size_t> ChooseItem(const std::string& sTitle, const std::string&,
                                          const std::vector<std::string>& vItems) override
    {
        vChoices.push_back({sTitle, vItems});
        if (qChosenItems.empty()) {
            return std::nullopt;
        }
        const std::size_t lItem = qChosenItems.front();
        qChosenItems.pop_front();
        return lItem;
    }

    // Answers, taken in order; an empty queue answers Cancel / no file.
    std::deque<std::size_t> qChosenItems;
    std::deque<Button> qAnswers;
    std::deque<std::optional<std::string>> qOpenFiles;
    std::deque<std::vector<std::string>> qOpenFileLists;
    std::deque<std::optional<std::string>> qSaveFiles;

    std::vector<ShownMessage> vMessages;
    std::vector<FileDialog> vFileDialogs;
    std::vector<bool> vBusy;
    std::vector<std::string> vDocuments;
    std::vector<std::pair<std::string, std::vector<std::string>>> vChoices; // title and items offered
    bool bDocumentsOpen = true; // whether a program to show documents is found
};
