#include "QuandrelApplication.h"

bool CQuandrelApplication::notify(QObject* pReceiver, QEvent* pEvent)
{
    try {
        return QApplication::notify(pReceiver, pEvent);
    } catch (...) {
        return false;
    }
}
