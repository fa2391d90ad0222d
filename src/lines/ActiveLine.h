// The mark of the one active line: the line the user clicked last, which the line commands work on.
// Lines carry program-wide ids, so one mark shared by all spectra marks one line of one spectrum.
#pragma once

#include <cstdint>

class ActiveLine {
public:
    // Moves the mark to the line, or takes it away when that line has it; returns lId.
    int32_t Toggle(int32_t lId)
    {
        m_lId = m_lId == lId ? -1 : lId;
        return lId;
    }
    bool Is(int32_t lId) const { return m_lId >= 0 && m_lId == lId; }
    // The id of the marked line, -1 without one.
    int32_t Id() const { return m_lId; }

private:
    int32_t m_lId = -1;
};
