// Little-endian binary records in memory: the writer appends to a byte
// string, the reader takes values from a byte range and refuses to read past
// its end, so that counts read from a file can be checked against the bytes
// that are really there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class BinaryWriter {
public:
    void WriteInt32(int32_t lValue);
    void WriteDouble(double fValue);
    void WriteBytes(std::string_view sBytes);
    const std::string& Bytes() const { return m_sBytes; }

private:
    std::string m_sBytes;
};

class BinaryReader {
public:
    explicit BinaryReader(std::string_view sBytes) : m_sBytes(sBytes) {}

    // Each returns false, reading nothing, when the bytes run out.
    bool ReadInt32(int32_t& lValue);
    bool ReadDouble(double& fValue);
    bool ReadBytes(std::size_t lCount, std::string& sBytes);

    std::size_t Remaining() const { return m_sBytes.size() - m_lPosition; }
    std::size_t Position() const { return m_lPosition; }

private:
    std::string_view m_sBytes;
    std::size_t m_lPosition = 0;
};
