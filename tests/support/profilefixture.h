#ifndef PROFILEFIXTURE_H
#define PROFILEFIXTURE_H

#include "messageboxwatcher.h"
#include "workspace.h"

#include <memory>

// The per-test set-up of the settings tests: a fresh workspace holding the three database
// files, and a watcher answering every message box so that none blocks a test.
class ProfileFixture
{
public:
    // False when the workspace could not be made.
    bool init();
    // Ends the workspace and the watcher; returns the boxes that were shown and not taken.
    QList<ShownMessageBox> cleanup();

    MessageBoxWatcher &boxes() { return *m_boxes; }

private:
    std::unique_ptr<Workspace> m_workspace;
    std::unique_ptr<MessageBoxWatcher> m_boxes;
};

// What a new process prints for the probe's arguments ("value KEY" or a named getter's name),
// run in the current directory.
QString probeInNewProcess(const QStringList &arguments);

#endif // PROFILEFIXTURE_H
