#include "platform/services.h"

#include <memory>

namespace tw::platform {
namespace {

Registry* g_registry = nullptr;
Shell* g_shell = nullptr;
NotifyIconShell* g_notifyIcons = nullptr;
DesktopNotifier* g_notifier = nullptr;
ProcessFacts* g_processFacts = nullptr;

// The installed service, or the real one, made the first time it is needed.
template <typename Service, typename Make>
Service& installedOrReal(Service* installed, std::unique_ptr<Service>& real, Make make) {
    if (installed) return *installed;
    if (!real) real = make();
    return *real;
}

}  // namespace

Registry& registry() {
    static std::unique_ptr<Registry> real;
    return installedOrReal(g_registry, real, makeSystemRegistry);
}

Shell& shell() {
    static std::unique_ptr<Shell> real;
    return installedOrReal(g_shell, real, makeSystemShell);
}

NotifyIconShell& notifyIconShell() {
    static std::unique_ptr<NotifyIconShell> real;
    return installedOrReal(g_notifyIcons, real, makeSystemNotifyIconShell);
}

DesktopNotifier& desktopNotifier() {
    static std::unique_ptr<DesktopNotifier> real;
    return installedOrReal(g_notifier, real, makeSystemNotifier);
}

ProcessFacts& processFacts() {
    static std::unique_ptr<ProcessFacts> real;
    return installedOrReal(g_processFacts, real, [] { return std::make_unique<ProcessFacts>(); });
}

ScopedServices::ScopedServices()
    : m_previousRegistry(g_registry),
      m_previousShell(g_shell),
      m_previousNotifyIcons(g_notifyIcons),
      m_previousNotifier(g_notifier),
      m_previousProcessFacts(g_processFacts) {
    g_registry = &registry;
    g_shell = &shell;
    g_notifyIcons = &notifyIcons;
    g_notifier = &notifications;
    g_processFacts = &processFacts;
}

void ScopedServices::installRegistry(Registry& other) { g_registry = &other; }

void ScopedServices::installNotifier(DesktopNotifier& other) { g_notifier = &other; }

void ScopedServices::installNotifyIconShell(NotifyIconShell& other) { g_notifyIcons = &other; }

ScopedServices::~ScopedServices() {
    g_registry = m_previousRegistry;
    g_shell = m_previousShell;
    g_notifyIcons = m_previousNotifyIcons;
    g_notifier = m_previousNotifier;
    g_processFacts = m_previousProcessFacts;
}

}  // namespace tw::platform
