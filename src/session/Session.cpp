#include "Session.h"

#include <algorithm>

Session::Session(std::string sSettingsFile)
    : m_oState(std::move(sSettingsFile), [this](uint32_t lChanges) { Announce(lChanges); }),
      m_oSpectra(m_oState, *this), m_oLines(m_oState, *this), m_oProject(m_oState, *this),
      m_oCalibration(m_oState, *this), m_oCorrelation(m_oState, *this), m_oOrbit(m_oState, *this),
      m_oPeriods(m_oState, *this), m_oCampaign(m_oState, *this)
{
}

void Session::AddListener(SessionListener* pListener)
{
    m_vListeners.push_back(pListener);
}

void Session::RemoveListener(SessionListener* pListener)
{
    std::erase(m_vListeners, pListener);
}

void Session::Announce(uint32_t lChanges)
{
    if ((lChanges & change::kTable) != 0) {
        m_oOrbit.TakeSeriesFromTable();
        lChanges |= change::kSeries;
    }
    // A copy: a listener may add or remove listeners while it is told.
    const std::vector<SessionListener*> vListeners = m_vListeners;
    for (SessionListener* pListener : vListeners) {
        pListener->SessionChanged(lChanges);
    }
}
