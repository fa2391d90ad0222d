// Every modal question, message and file choice of the windows, the busy
// cursor and the opening of documents go through this interface, so that the
// windows can be driven by scripted answers in tests.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

enum class Icon { None, Information, Warning, Question, Error };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Button { Ok, Cancel, Yes, No };

// A file dialog as the program describes it; the filter is in the
// "Text (*.txt)|*.txt|All files (*.*)|*.*" form.
struct FileDialog {
    std::string sTitle;
    std::string sFilter;
    std::string sInitialDirectory;
    std::string sFileName;
    std::string sDefaultExtension; // "*.bmp" or "bmp"
    bool bOverwritePrompt = false;
};

class Prompts {
public:
    virtual ~Prompts() = default;
    virtual Button Message(const std::string& sTitle, const std::string& sText, Icon eIcon, Buttons eButtons) = 0;
    virtual std::optional<std::string> OpenFile(const FileDialog& oDialog) = 0;
    // Several existing files at once; none when the user cancels.
    virtual std::vector<std::string> OpenFiles(const FileDialog& oDialog) = 0;
    virtual std::optional<std::string> SaveFile(const FileDialog& oDialog) = 0;
    virtual void SetBusy(bool bBusy) = 0;
    // False when no program could be started to show the document.
    virtual bool OpenDocument(const std::string& sPath) = 0;
    // One of the items chosen from a list (its index), nothing when the user cancels.
    virtual std::optional<std::size_t> ChooseItem(const std::string& sTitle, const std::string& sLabel,
                                                  const std::vector<std::string>& vItems) = 0;
};

// Shows the busy cursor for the life of the object.
class BusyCursor {
public:
    explicit BusyCursor(Prompts& oPrompts) : m_oPrompts(oPrompts) { m_oPrompts.SetBusy(true); }
    ~BusyCursor() { m_oPrompts.SetBusy(false); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    Prompts& m_oPrompts;
};

// "Text (*.txt)|*.txt|All files (*.*)|*.*" becomes "Text (*.txt);;All files (*)":
// the descriptions are kept, "*.*" matches every file.
std::string ToQtFilter(const std::string& sWindowsFilter);

// The extension of a dialog's default extension ("*.bmp" and "bmp" give "bmp").
std::string DefaultSuffix(const std::string& sDefaultExtension);
