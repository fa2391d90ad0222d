// Long computations away from the window's thread: a progress bar with Cancel in the status bar while
// the window stays live (the plots can be looked at and zoomed); the commands that would change what
// the computation works on wait until it ends.
#include "MainWindow.h"

#include <QCheckBox>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <atomic>
#include <thread>

bool MainWindow::RunWithProgress(const QString& sWhat, const std::function<void(Progress&)>& fnWork)
{
    if (m_pWork != nullptr) {
        // One computation at a time.
        return false;
    }
    Progress oProgress;
    m_pWork = &oProgress;
    m_pprbWork->setFormat(sWhat + " %p%");
    m_pprbWork->setValue(0);
    m_pnlWork->show();
    const std::vector<QWidget*> vBlocked = {menuBar(), m_pnlControls, findChild<QWidget*>("btnGo"),
                                            findChild<QWidget*>("btnAddMeasurement"), m_pchbReferenceSpectrum,
                                            m_pchbEmissionSpectrum, m_pchbPhasePlot};
    std::vector<bool> vWasEnabled;
    for (QWidget* pWidget : vBlocked) {
        vWasEnabled.push_back(pWidget->isEnabled());
        pWidget->setEnabled(false);
    }
    std::atomic<bool> bDone{false};
    QEventLoop oLoop;
    QTimer oPoll;
    connect(&oPoll, &QTimer::timeout, &oLoop, [&] {
        m_pprbWork->setValue(static_cast<int>(oProgress.Get() * 100.0));
        if (bDone.load()) {
            oLoop.quit();
        }
    });
    oPoll.start(25);
    std::thread oWorker([&] {
        fnWork(oProgress);
        bDone.store(true);
    });
    oLoop.exec();
    oWorker.join();
    oPoll.stop();
    for (std::size_t i = 0; i < vBlocked.size(); ++i) {
        vBlocked[i]->setEnabled(vWasEnabled[i]);
    }
    m_pnlWork->hide();
    m_pWork = nullptr;
    UpdateCommandStates();
    return !oProgress.IsCancelled();
}

QWidget* MainWindow::CreateWorkPanel()
{
    m_pnlWork = new QWidget;
    m_pnlWork->setObjectName("pnlWork");
    auto* pLayout = new QHBoxLayout(m_pnlWork);
    pLayout->setContentsMargins(0, 0, 0, 0);
    m_pprbWork = new QProgressBar;
    m_pprbWork->setObjectName("prbWork");
    m_pprbWork->setRange(0, 100);
    auto* pbtnCancel = new QPushButton("Cancel");
    pbtnCancel->setObjectName("btnCancelWork");
    connect(pbtnCancel, &QPushButton::clicked, this, [this] {
        if (m_pWork != nullptr) {
            m_pWork->Cancel();
        }
    });
    pLayout->addWidget(m_pprbWork, 1);
    pLayout->addWidget(pbtnCancel);
    m_pnlWork->hide();
    return m_pnlWork;
}
