#include "LocaleGuard.h"

#include <clocale>
#include <cstdlib>

LocaleGuard::LocaleGuard(const std::string& sLocale)
{
    const char* pcPrevious = std::setlocale(LC_ALL, nullptr);
    m_sPreviousCLocale = pcPrevious ? pcPrevious : "C";
    if (std::setlocale(LC_ALL, sLocale.c_str()) == nullptr) {
        return;
    }
    if (const char* pcLcAll = std::getenv("LC_ALL")) {
        m_sPreviousLcAll = pcLcAll;
    }
    setenv("LC_ALL", sLocale.c_str(), 1);
    m_bActive = true;
}

LocaleGuard::~LocaleGuard()
{
    if (!m_bActive) {
        return;
    }
    std::setlocale(LC_ALL, m_sPreviousCLocale.c_str());
    if (m_sPreviousLcAll) {
        setenv("LC_ALL", m_sPreviousLcAll->c_str(), 1);
    } else {
        unsetenv("LC_ALL");
    }
}
