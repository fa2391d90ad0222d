// Puts the whole process (C library and environment) under another locale
// for the life of the guard, and restores the previous one afterwards.
#pragma once

#include <optional>
#include <string>

class LocaleGuard {
public:
    explicit LocaleGuard(const std::string& sLocale);
    ~LocaleGuard();
    LocaleGuard(const LocaleGuard&) = delete;
    LocaleGuard& operator=(const LocaleGuard&) = delete;

    // False when the system lacks the locale (nothing was changed then).
    bool IsActive() const { return m_bActive; }

private:
    bool m_bActive = false;
    std::string m_sPreviousCLocale;
    std::optional<std::string> m_sPreviousLcAll;
};
