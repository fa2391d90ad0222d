// "About Quandrel": the program's picture and an "&OK" button.
#pragma once

#include <QDialog>
#include <QImage>

class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* pParent = nullptr);

    // The decoded picture (null if it could not be decoded).
    const QImage& Picture() const { return m_oPicture; }

private:
    QImage m_oPicture;
};
