#pragma once
// A timer belonging to a form: while enabled with an interval above 0 it runs onTimer
// every interval milliseconds on the GUI thread. Not a widget.

#include <functional>
#include <memory>
#include <string>

namespace tw::forms {

class Container;
struct NativeTimer;

class Timer {
public:
    Timer(Container& owner, std::string name);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    const std::string& name() const { return m_name; }
    int interval() const { return m_interval; }
    // Restarts the count; 0 stops the ticks while keeping the enabled flag.
    void setInterval(int ms);
    bool enabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    const std::string& tag() const { return m_tag; }
    void setTag(const std::string& tag) { m_tag = tag; }

    std::function<void()> onTimer;
    // Runs onTimer now (tests).
    void tick();

private:
    void restart();

    std::string m_name;
    std::unique_ptr<NativeTimer> m_native;
    int m_interval = 0;
    bool m_enabled = true;
    std::string m_tag;
};

}  // namespace tw::forms
