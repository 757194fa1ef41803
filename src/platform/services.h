#pragma once
// The platform services the program uses, installed in one place so tests can swap in
// stand-ins. Until something is installed, the real service is created on first use and
// lives for the rest of the run. GUI thread only.

#include "platform/notifications.h"
#include "platform/notify_icon.h"
#include "platform/process_facts.h"
#include "platform/registry.h"
#include "platform/shell.h"

namespace tw::platform {

Registry& registry();
Shell& shell();
NotifyIconShell& notifyIconShell();
// The real one notifies over the session bus.
DesktopNotifier& desktopNotifier();
ProcessFacts& processFacts();

// Installs recorders and fakes for its lifetime and puts back whatever was installed before.
class ScopedServices {
public:
    ScopedServices();
    ~ScopedServices();
    ScopedServices(const ScopedServices&) = delete;
    ScopedServices& operator=(const ScopedServices&) = delete;

    // Puts another store in place of the in-memory one (such as a FileRegistry in a test
    // folder) until this object ends; `other` must outlive it.
    void installRegistry(Registry& other);
    // The same for the desktop notifier (such as a DBusNotifier on a test's own bus).
    void installNotifier(DesktopNotifier& other);
    // The same for the notification area (such as one that hands every call on to the real one).
    void installNotifyIconShell(NotifyIconShell& other);

    MemoryRegistry registry;
    ShellRecorder shell;
    NotifyIconRecorder notifyIcons;
    NotifierRecorder notifications;
    FakeProcessFacts processFacts;

private:
    Registry* m_previousRegistry;
    Shell* m_previousShell;
    NotifyIconShell* m_previousNotifyIcons;
    DesktopNotifier* m_previousNotifier;
    ProcessFacts* m_previousProcessFacts;
};

}  // namespace tw::platform
