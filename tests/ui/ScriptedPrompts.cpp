#include "ScriptedPrompts.h"

EButton CScriptedPrompts::Message(const std::string& sTitle, const std::string& sText, EIcon eIcon, EButtons eButtons)
{
    vMessages.push_back({sTitle, sText, eIcon, eButtons});
    if (qAnswers.empty()) {
        return eButtons == EButtons::Ok ? EButton::Ok : EButton::Cancel;
    }
    const EButton eAnswer = qAnswers.front();
    qAnswers.pop_front();
    return eAnswer;
}

std::optional<std::string> CScriptedPrompts::OpenFile(const SFileDialog& oDialog)
{
    vFileDialogs.push_back(oDialog);
    if (qOpenFiles.empty()) {
        return std::nullopt;
    }
    auto sFile = qOpenFiles.front();
    qOpenFiles.pop_front();
    return sFile;
}

std::optional<std::string> CScriptedPrompts::SaveFile(const SFileDialog& oDialog)
{
    vFileDialogs.push_back(oDialog);
    if (qSaveFiles.empty()) {
        return std::nullopt;
    }
    auto sFile = qSaveFiles.front();
    qSaveFiles.pop_front();
    return sFile;
}

std::vector<std::string> CScriptedPrompts::OpenFiles(const SFileDialog& oDialog)
{
    if (!qOpenFileLists.empty()) {
        vFileDialogs.push_back(oDialog);
        auto vFiles = qOpenFileLists.front();
        qOpenFileLists.pop_front();
        return vFiles;
    }
    const auto sFile = OpenFile(oDialog);
    return sFile ? std::vector<std::string>{*sFile} : std::vector<std::string>{};
}
