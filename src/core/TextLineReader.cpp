#include "TextLineReader.h"

#include <cstdio>
#include <filesystem>
#include <string_view>

#include "ByteOrderMark.h"

namespace {
constexpr std::size_t kBufferSize = 1 << 16;
}

bool TextLineReader::Open(const std::string& sFilePathAndName)
{
    m_pFile.reset();
    // Only regular files of at most 1 GiB: a device (/dev/zero) or a pipe would be read without end
    // or block, and no spectrum file comes near the size.
    std::error_code oError;
    if (!std::filesystem::is_regular_file(sFilePathAndName, oError) ||
        std::filesystem::file_size(sFilePathAndName, oError) > kMaxFileBytes || oError) {
        m_bEof = true;
        return false;
    }
    m_pFile.reset(std::fopen(sFilePathAndName.c_str(), "rb"));
    m_vBuffer.assign(kBufferSize, '\0');
    m_lPos = 0;
    m_lEnd = 0;
    m_lBufferOffset = 0;
    m_bEof = false;
    return m_pFile != nullptr;
}

bool TextLineReader::Seek(std::uintmax_t lOffset)
{
    if (!m_pFile) {
        return false;
    }
    m_bEof = false;
    // Within the bytes at hand (the next lines of a view, one after the other): no reading.
    if (lOffset >= m_lBufferOffset && lOffset - m_lBufferOffset <= m_lEnd) {
        m_lPos = static_cast<std::size_t>(lOffset - m_lBufferOffset);
        return true;
    }
    m_lPos = 0;
    m_lEnd = 0;
    m_lBufferOffset = lOffset;
    return lOffset <= kMaxFileBytes && ::fseeko(m_pFile.get(), static_cast<off_t>(lOffset), SEEK_SET) == 0;
}

bool TextLineReader::Fill()
{
    if (!m_pFile) {
        return false;
    }
    m_lBufferOffset += m_lEnd;
    m_lPos = 0;
    m_lEnd = std::fread(m_vBuffer.data(), 1, m_vBuffer.size(), m_pFile.get());
    return m_lEnd > 0;
}

int TextLineReader::Get()
{
    if (m_lPos == m_lEnd && !Fill()) {
        m_bEof = true;
        return EOF;
    }
    const char c = m_vBuffer[m_lPos++];
    if (c == '\r') {
        // Text mode: CR LF reads as LF. Looking ahead never counts as meeting the end.
        if (m_lPos == m_lEnd && !Fill()) {
            return '\r';
        }
        if (m_vBuffer[m_lPos] == '\n') {
            ++m_lPos;
            return '\n';
        }
    }
    return static_cast<unsigned char>(c);
}

bool TextLineReader::ReadLine(std::string& sLine)
{
    sLine.clear();
    if (Tell() == 0 && (m_lPos < m_lEnd || Fill())) {
        m_lPos += quandrel::ByteOrderMarkLength(std::string_view(m_vBuffer.data() + m_lPos, m_lEnd - m_lPos));
    }
    bool bAny = false;
    bool bAfterNul = false;
    for (;;) {
        const int c = Get();
        if (c == EOF) {
            break;
        }
        bAny = true;
        if (c == '\0') {
            bAfterNul = true;
        }
        if (!bAfterNul) {
            sLine.push_back(static_cast<char>(c));
        }
        if (c == '\n') {
            break;
        }
    }
    return bAny;
}
