// Running quandrel-cli in the test process and reading its records.
#pragma once

#include "app/cli/Cli.h"

#include <sstream>
#include <string>
#include <vector>

struct CliRun {
    int lStatus = -1;
    std::string sOut;
    std::string sErr;
};

inline CliRun RunCliCapture(const std::vector<std::string>& vArguments)
{
    std::ostringstream oOut;
    std::ostringstream oErr;
    CliRun oRun;
    oRun.lStatus = quandrel::cli::RunCli(vArguments, oOut, oErr);
    oRun.sOut = oOut.str();
    oRun.sErr = oErr.str();
    return oRun;
}

// The lines of the output.
inline std::vector<std::string> OutputLines(const std::string& sText)
{
    std::vector<std::string> vLines;
    std::istringstream oStream(sText);
    for (std::string sLine; std::getline(oStream, sLine);) {
        vLines.push_back(sLine);
    }
    return vLines;
}

// The TAB-separated fields of every line that is no comment.
inline std::vector<std::vector<std::string>> Records(const std::string& sText)
{
    std::vector<std::vector<std::string>> vRecords;
    for (const auto& sLine : OutputLines(sText)) {
        if (sLine.empty() || sLine[0] == '#') {
            continue;
        }
        std::vector<std::string> vFields;
        std::istringstream oLine(sLine);
        for (std::string sField; std::getline(oLine, sField, '\t');) {
            vFields.push_back(sField);
        }
        vRecords.push_back(vFields);
    }
    return vRecords;
}
