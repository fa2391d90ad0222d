// "Observer and instrument": who observes, with what and where, as the FITS files the program saves
// name them (OBSERVER, BSS_INST, BSS_SITE).
#pragma once

#include "session/SettingsGateway.h"

#include <optional>

class QWidget;

// Shows the names; what "&OK" confirmed (each trimmed), nothing on any other way out.
std::optional<ObserverIdentity> ChooseObserverIdentity(QWidget* pParent, const ObserverIdentity& oNow);
