#include "BinaryStream.h"

#include <cstring>

void BinaryWriter::WriteInt32(int32_t lValue)
{
    const auto u = static_cast<uint32_t>(lValue);
    for (int i = 0; i < 4; ++i) {
        m_sBytes.push_back(static_cast<char>((u >> (8 * i)) & 0xFFU));
    }
}

void BinaryWriter::WriteDouble(double fValue)
{
    uint64_t u = 0;
    std::memcpy(&u, &fValue, sizeof u);
    for (int i = 0; i < 8; ++i) {
        m_sBytes.push_back(static_cast<char>((u >> (8 * i)) & 0xFFU));
    }
}

void BinaryWriter::WriteBytes(std::string_view sBytes)
{
    m_sBytes.append(sBytes);
}

bool BinaryReader::ReadInt32(int32_t& lValue)
{
    if (Remaining() < 4) {
        return false;
    }
    uint32_t u = 0;
    for (int i = 0; i < 4; ++i) {
        u |= static_cast<uint32_t>(static_cast<unsigned char>(m_sBytes[m_lPosition + static_cast<std::size_t>(i)]))
             << (8 * i);
    }
    m_lPosition += 4;
    lValue = static_cast<int32_t>(u);
    return true;
}

bool BinaryReader::ReadDouble(double& fValue)
{
    if (Remaining() < 8) {
        return false;
    }
    uint64_t u = 0;
    for (int i = 0; i < 8; ++i) {
        u |= static_cast<uint64_t>(static_cast<unsigned char>(m_sBytes[m_lPosition + static_cast<std::size_t>(i)]))
             << (8 * i);
    }
    m_lPosition += 8;
    std::memcpy(&fValue, &u, sizeof fValue);
    return true;
}

bool BinaryReader::ReadBytes(std::size_t lCount, std::string& sBytes)
{
    if (Remaining() < lCount) {
        return false;
    }
    sBytes.assign(m_sBytes.substr(m_lPosition, lCount));
    m_lPosition += lCount;
    return true;
}
