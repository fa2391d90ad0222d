// The settings file: Windows initialization file format (sections in
// brackets, key=value lines, names compared without regard to case). Every
// read or write opens the file, does its work and closes it again; nothing
// is cached. A missing file, section or key, or a value that does not
// convert, gives the default. A file that cannot be read as settings (too
// large, not a regular file) reads as empty and is never written over.
#pragma once

#include <optional>
#include <string>

class IniFile {
public:
    explicit IniFile(std::string sFilePathAndName) : m_sFilePathAndName(std::move(sFilePathAndName)) {}

    const std::string& GetFileName() const { return m_sFilePathAndName; }

    // The raw text of the value (blanks around it removed), or sDefault.
    std::string ReadString(const std::string& sSection, const std::string& sKey, const std::string& sDefault) const;
    // A decimal integer, or lDefault.
    int ReadInteger(const std::string& sSection, const std::string& sKey, int lDefault) const;
    // Any non-zero integer reads as true.
    bool ReadBool(const std::string& sSection, const std::string& sKey, bool bDefault) const;
    // A number in the system's decimal notation (either separator is taken), or fDefault.
    double ReadFloat(const std::string& sSection, const std::string& sKey, double fDefault) const;

    // Each returns false when the file could not be written, or when the names or the value would not
    // read back as written (a line break, a "=" in the key, a "]" in the section, an empty name or
    // blanks around it); the old file is then left as it was. Writers in several processes take turns.
    bool WriteString(const std::string& sSection, const std::string& sKey, const std::string& sValue) const;
    bool WriteInteger(const std::string& sSection, const std::string& sKey, int lValue) const;
    bool WriteBool(const std::string& sSection, const std::string& sKey, bool bValue) const;
    // Written in the general form with up to 15 significant digits and the system's decimal separator.
    bool WriteFloat(const std::string& sSection, const std::string& sKey, double fValue) const;

    // Why settings cannot be kept in this file (it cannot be read as settings, is a folder, or it or
    // its folder cannot be written); nothing when they can. An unreadable file is never replaced.
    std::optional<std::string> WhyNotWritable() const;

    // Where the settings of a program live: the executable's path with the
    // extension ".ini" when its folder can be written, otherwise
    // "<user configuration folder>/quandrel/<name>.ini".
    static std::string SettingsPathFor(const std::string& sExecutablePath);

private:
    std::string m_sFilePathAndName;
};

// A number as the program shows it to the user: the general form with up to
// 15 significant digits and no trailing zeros, with the system's decimal separator.
std::string FloatToText(double fValue);
