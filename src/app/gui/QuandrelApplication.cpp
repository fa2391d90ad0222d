#include "QuandrelApplication.h"

bool QuandrelApplication::notify(QObject* pReceiver, QEvent* pEvent)
{
    try {
        return QApplication::notify(pReceiver, pEvent);
    } catch (...) {
        return false;
    }
}
