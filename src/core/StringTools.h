// Character-mask operations on text, used to cut fields out of the lines of
// text files and to keep only the characters of a number.
#pragma once

#include <string>

class StringTools {
public:
    // True if cCharacter occurs in the mask text.
    static bool IsInMask(char cCharacter, const std::string& text);

    // Keeps the first run of mask characters and drops everything else; a
    // text without any mask character becomes empty.
    static void KeepMaskRun(std::string& text, const std::string& mask);

    // Replaces every occurrence of cFrom by cTo.
    static void ReplaceChar(std::string& text, char cFrom, char cTo);

    // Keeps the characters lFirst .. lLast (0-based, inclusive); the part that
    // lies outside the text is ignored.
    static void SubString(std::string& text, int lFirst, int lLast);

    // Removes lCount characters at lPosition.
    static void DeleteChars(std::string& text, int lPosition, int lCount);
};
