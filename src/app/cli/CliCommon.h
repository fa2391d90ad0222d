// Shared parts of the command line: argument lists, option values, the
// import options every verb that reads a spectrum takes, and the exit codes.
#pragma once

#include "core/SpectrumMetadata.h"

#include "core/SpectrumFileImport.h"
#include "session/Session.h"

#include <iosfwd>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace quandrel::cli {

constexpr int kExitOk = 0;
constexpr int kExitInput = 1;
constexpr int kExitUsage = 2;

// Raised for a usage error; the message is one sentence.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The arguments of one verb: options are taken out by name, the rest are positional.
class Arguments {
public:
    explicit Arguments(std::vector<std::string> vArguments) : m_vArguments(std::move(vArguments)) {}

    // True (and removed) if the flag is present.
    bool TakeFlag(const std::string& sName);
    // The value after the option (removed with it), if present.
    std::optional<std::string> TakeValue(const std::string& sName);
    std::optional<int> TakeInt(const std::string& sName);
    std::optional<double> TakeDouble(const std::string& sName);
    // The lCount values after the option (removed with it), if present.
    std::optional<std::vector<std::string>> TakeValues(const std::string& sName, std::size_t lCount);

    // What is left once every option is taken; an unknown option is a usage error.
    std::vector<std::string> Positionals() const;

private:
    std::vector<std::string> m_vArguments;
};

// Takes --skip, --separators, --collapse, --fixed, --single-column and --no-nm-conversion, and for
// FITS files of several spectra --order N (under the name sOrderOption) and --hdu NAME.
ImportSettings TakeImportOptions(Arguments& oArguments, const std::string& sOrderOption = "--order");

// Reads a spectrum file: a FITS file (told by its content) with its header into pMetadata when
// given, else a text file with the import settings; false, with one sentence on oErr, when it cannot
// be read or holds no data lines.
bool ReadSpectrumFile(const std::string& sFile, const ImportSettings& oSettings, std::vector<double>& vWavelength,
                      std::vector<double>& vIntensity, std::ostream& oErr, SpectrumMetadata* pMetadata = nullptr);

// The number an argument holds; a usage error naming sWhat when it holds none.
double NumberArgument(const std::string& sText, const std::string& sWhat);

// The time and place of an observation: --jd JD --ra H M --dec D M --lon D M --lat D M (longitude
// positive west, minutes carrying their own sign).
struct Observation {
    double fJulianDate = 0.0;
    EquatorialPosition oObject;
    GeographicSite oSite;
};
// Takes those options; nothing without --jd unless bRequired (then that is a usage error, as is a
// missing or malformed coordinate). The messages name the verb.
std::optional<Observation> TakeObservation(Arguments& oArguments, const std::string& sVerb, bool bRequired);
// --ra H M --dec D M --lon D M --lat D M [--height M], all of them (a usage error naming the verb when
// some are missing), or nothing when none is given.
struct ObjectAndSite {
    EquatorialPosition oObject;
    GeographicSite oSite;
    double fHeightMetres = 0.0;
};
std::optional<ObjectAndSite> TakeObjectAndSite(Arguments& oArguments, const std::string& sVerb);
// A usage error unless the coordinates lie within their ranges.
void CheckObservation(const Observation& o, const std::string& sVerb);

// The help text of the import options.
const char* ImportOptionsHelp();

// A number the way results are printed: "%.10g" unless the verb says otherwise.
std::string FormatResult(double fValue, int lPrecision = 10);

} // namespace quandrel::cli
