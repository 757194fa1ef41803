#pragma once
// The server list and the panel of one server are rebuilt one at a time. A rebuild asked for
// while another runs (a download completing inside one of its message boxes, say) runs right
// after it; a list rebuild waiting makes a waiting panel rebuild needless, since the list
// re-selects its shown server itself.

#include <functional>
#include <optional>
#include <string>

namespace tw {

class RebuildQueue {
public:
    RebuildQueue(std::function<void()> buildList, std::function<void(const std::string&)> buildPanel);

    void askForList();
    void askForPanel(std::string server);
    // Runs `select` as part of the list's rebuild: the panel it asks for is built at once.
    void selectFromList(const std::function<void()>& select);

private:
    void run(const std::function<void()>& first);

    std::function<void()> m_buildList;
    std::function<void(const std::string&)> m_buildPanel;
    bool m_running = false;
    bool m_listWaiting = false;
    std::optional<std::string> m_panelWaiting;
    bool m_panelForList = false;
};

}  // namespace tw
