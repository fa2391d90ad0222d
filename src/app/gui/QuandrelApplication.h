// The application object: an exception that escapes an event handler is
// dropped without a message, the rest of that handler being skipped.
#pragma once

#include <QApplication>

class QuandrelApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* pReceiver, QEvent* pEvent) override;
};
