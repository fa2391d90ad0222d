// The observation a FITS header describes: time, object, coordinates and site from the keywords
// that pipelines and amateur software write.
#pragma once

#include "core/SpectrumMetadata.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The value of a keyword: its text (a string without its quotes, trimmed), and whether it was a string.
struct FitsKeyword {
    std::string sText;
    bool bQuoted = false;
};
// The keywords of a header by upper-case name.
using FitsKeywords = std::map<std::string, FitsKeyword>;

// The metadata the keywords hold, the time in UTC and the coordinates at J2000. A keyword that is
// present but cannot be read (a date that does not parse, a declination of 95 degrees) adds a sentence
// to vWarnings and is left out; so does a time the program has to guess or doubt (a date without a
// time, two stated times that disagree, a time scale it does not convert).
SpectrumMetadata MetadataFromKeywords(const FitsKeywords& oKeywords, std::vector<std::string>& vWarnings);

// "12 34 56.7", "+12:34:56", "-00 30", "12.5": the value in units of its first field; nothing when
// it is not such a text.
std::optional<double> ParseSexagesimal(std::string_view sText);

// The Julian date (UT) of an ISO date "YYYY-MM-DD" with an optional "Thh:mm:ss.s", or of the old
// "DD/MM/YY" form (19YY); sTime ("hh:mm:ss.s") adds the time when the date holds none.
std::optional<double> JulianDateOfFitsDate(std::string_view sDate, std::string_view sTime);
