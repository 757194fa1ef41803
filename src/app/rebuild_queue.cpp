#include "app/rebuild_queue.h"

#include <utility>

namespace tw {

RebuildQueue::RebuildQueue(std::function<void()> buildList, std::function<void(const std::string&)> buildPanel)
    : m_buildList(std::move(buildList)), m_buildPanel(std::move(buildPanel)) {}

void RebuildQueue::askForList() {
    if (m_running) {
        m_listWaiting = true;
        return;
    }
    run(m_buildList);
}

void RebuildQueue::askForPanel(std::string server) {
    if (std::exchange(m_panelForList, false)) return m_buildPanel(server);
    if (m_running) {
        m_panelWaiting = std::move(server);
        return;
    }
    run([&] { m_buildPanel(server); });
}

void RebuildQueue::selectFromList(const std::function<void()>& select) {
    m_panelForList = true;
    select();
    m_panelForList = false;
}

void RebuildQueue::run(const std::function<void()>& first) {
    m_running = true;
    first();
    for (;;) {
        if (std::exchange(m_listWaiting, false)) {
            m_panelWaiting.reset();
            m_buildList();
        } else if (m_panelWaiting) {
            const std::string server = *std::exchange(m_panelWaiting, std::nullopt);
            m_buildPanel(server);
        } else {
            break;
        }
    }
    m_running = false;
    m_panelForList = false;
}

}  // namespace tw
