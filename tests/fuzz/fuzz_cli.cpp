// The whole command line with the input as its file: the first byte chooses a command, the rest is
// the file. A command that succeeds prints only finite numbers.
#include "FuzzSupport.h"
#include "app/cli/Cli.h"

#include <cctype>
#include <sstream>
#include <string_view>
#include <vector>

namespace {

// Every verb that reads a file, with options that keep one run short.
const std::vector<std::vector<std::string>>& Commands()
{
    static const std::vector<std::vector<std::string>> vCommands = {
        {"import", "@"},
        {"import", "@", "--single-column"},
        {"import", "@", "--separators", " ", "--collapse"},
        {"import", "@", "--fixed", "1,10"},
        {"info", "@"},
        {"convert", "@", "%out.txt"},
        {"convert", "@", "%out.fits"},
        {"normalize", "@"},
        {"lines", "@", "--width-index", "5", "--sensitivity-index", "5"},
        {"lines", "@", "--emission", "--lab", "@"},
        {"calibrate", "@", "--points", "@"},
        {"calibrate", "@", "--points", "@", "--sampling"},
        {"cc", "@", "@", "--from", "0", "--to", "1e6", "--span", "5"},
        {"orbit", "@", "--steps", "2"},
        {"pdm", "@", "--from", "40", "--to", "60"},
        {"ls", "@", "--samples", "2000"},
        {"project", "info", "@"},
        {"project", "curve", "@"},
        {"project", "dump", "@", "%dump.txt"},
        {"project", "export", "@", "%export.txt"},
    };
    return vCommands;
}

// A field of the output that is an infinity or no number, as printf writes them.
bool HasNonFinite(const std::string& sText)
{
    std::string sField;
    for (std::size_t k = 0; k <= sText.size(); ++k) {
        const char c = k < sText.size() ? sText[k] : '\n';
        if (std::string_view(" \t\r\n;=,:()").find(c) == std::string_view::npos) {
            sField += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            continue;
        }
        const std::size_t lStart = !sField.empty() && (sField[0] == '-' || sField[0] == '+') ? 1 : 0;
        const std::string_view sWord = std::string_view(sField).substr(lStart);
        if (sWord == "inf" || sWord == "infinity" || sWord == "nan") {
            return true;
        }
        sField.clear();
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t lSize)
{
    using namespace quandrel::fuzz;
    if (lSize < 1) {
        return 0;
    }
    const std::string sPath = WriteInput("input", std::string_view(reinterpret_cast<const char*>(pData) + 1, lSize - 1));
    std::vector<std::string> vArguments = Commands()[pData[0] % Commands().size()];
    for (std::string& sArgument : vArguments) {
        if (sArgument == "@") {
            sArgument = sPath;
        } else if (sArgument.front() == '%') {
            sArgument = Folder() + "/" + sArgument.substr(1);
        }
    }
    std::ostringstream oOut;
    std::ostringstream oErr;
    const int lStatus = quandrel::cli::RunCli(vArguments, oOut, oErr);
    Require(lStatus >= 0 && lStatus <= 2, "the exit status is 0, 1 or 2");
    if (lStatus == 0) {
        Require(!HasNonFinite(oOut.str()), "a command that succeeds prints finite numbers");
    } else {
        Require(!oErr.str().empty(), "a command that fails says why");
    }
    return 0;
}
