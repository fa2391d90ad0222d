// Reads a text file line by line the way the program's file formats expect:
// a whole line per read, however long (the file's size bounds it); a UTF-8
// byte-order mark at the start of the file is skipped; a carriage return
// before a line feed is dropped; a NUL byte ends the usable text of a line.
#pragma once

#include <cstdint>

#include "FileHandle.h"

#include <string>
#include <vector>

class TextLineReader {
public:
    // The largest file Open takes.
    static constexpr std::uintmax_t kMaxFileBytes = std::uintmax_t{1} << 30;

    TextLineReader() = default;

    // Opens the file; false if it cannot be read.
    bool Open(const std::string& sFilePathAndName);

    // Reads the next line into sLine (without anything after a NUL byte; the
    // line feed is kept). Returns false when the end of the file was met
    // before any character; sLine is then empty.
    bool ReadLine(std::string& sLine);

    // True once a read has tried to go past the end of the file (or failed).
    bool IsEof() const { return m_bEof; }

    // The offset in the file of the next read.
    std::uintmax_t Tell() const { return m_lBufferOffset + m_lPos; }
    // Reads on from offset lOffset (one that Tell gave); false when the file cannot be positioned.
    bool Seek(std::uintmax_t lOffset);

private:
    int Get();
    bool Fill();

    quandrel::UniqueFile m_pFile;
    std::vector<char> m_vBuffer;
    std::size_t m_lPos = 0;
    std::size_t m_lEnd = 0;
    std::uintmax_t m_lBufferOffset = 0; // offset in the file of m_vBuffer[0]
    bool m_bEof = false;
};
