#include "ScriptedPrompts.h"

Button ScriptedPrompts::Message(const std::string& sTitle, const std::string& sText, Icon eIcon, Buttons eButtons)
{
    vMessages.push_back({sTitle, sText, eIcon, eButtons});
    if (qAnswers.empty()) {
        return eButtons == Buttons::Ok ? Button::Ok : Button::Cancel;
    }
    const Button eAnswer = qAnswers.front();
    qAnswers.pop_front();
    return eAnswer;
}

std::optional<std::string> ScriptedPrompts::OpenFile(const FileDialog& oDialog)
{
    vFileDialogs.push_back(oDialog);
    if (qOpenFiles.empty()) {
        return std::nullopt;
    }
    auto sFile = qOpenFiles.front();
    qOpenFiles.pop_front();
    return sFile;
}

std::optional<std::string> ScriptedPrompts::SaveFile(const FileDialog& oDialog)
{
    vFileDialogs.push_back(oDialog);
    if (qSaveFiles.empty()) {
        return std::nullopt;
    }
    auto sFile = qSaveFiles.front();
    qSaveFiles.pop_front();
    return sFile;
}

std::vector<std::string> ScriptedPrompts::OpenFiles(const FileDialog& oDialog)
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
