#include "AppWindows.h"

#include <QCoreApplication>
#include <QRadioButton>

#include "FileOps.h"
#include "SharedJournal.h"
#include "Unit1.h"
#include "Unit3.h"
#include "Unit4.h"
#include "Unit5.h"
#include "Unit6.h"
#include "Walks.h"

namespace zanfeld {

AppWindows::AppWindows(const std::string& settingsPath, const std::string& defaultOutDir) {
    m_journal = std::make_unique<SharedJournal>();
    m_form1 = std::make_unique<TForm1>(settingsPath, defaultOutDir);
    m_form1->show();
    m_form6 = std::make_unique<TForm6>(settingsPath, defaultOutDir);
    m_form1->setJournal(m_journal.get());
    m_form6->setJournal(m_journal.get());
    m_form1->setFolderWindow(m_form6.get());
    m_form6->setFileWindow(m_form1.get());
    // The dialogs have no owner window: each is centred on whichever window
    // is active when it is shown.
    m_form3 = std::make_unique<TForm3>();
    m_about = std::make_unique<TfrmAbout>();
    m_suffix = std::make_unique<TfrmSuffix>(m_form1->ListBox2);
    m_form1->setDialogs(m_form3.get(), m_about.get(), m_suffix.get());
    m_form6->setAboutBox(m_about.get());
    // Each window saves its own section as it closes; the other one's close
    // handling does not run on the way out.
    QObject::connect(m_form1.get(), &TForm1::closed, QCoreApplication::instance(),
                     &QCoreApplication::quit, Qt::QueuedConnection);
    QObject::connect(m_form6.get(), &TForm6::closed, QCoreApplication::instance(),
                     &QCoreApplication::quit, Qt::QueuedConnection);
}

AppWindows::~AppWindows() = default;

void AppWindows::openPaths(const std::vector<std::string>& paths) {
    std::vector<std::string> files;
    size_t folders = 0;
    for (const std::string& path : paths) {
        if (DirExists(path)) {
            if (m_form6->sourceList().AddIfAbsent(path)) ++folders;
        } else {
            files.push_back(path);
        }
    }
    const size_t added = HandleDroppedFiles(m_form1->sourceList(), files);
    m_form1->syncList();
    m_form6->syncList();
    // As the user would: the window switch at the top of the file window.
    if (added == 0 && folders > 0) m_form1->RbForm6->click();
}

}  // namespace zanfeld
