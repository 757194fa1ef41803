#pragma once
// What the screenshot tools need of the window system: its start, a scratch folder that goes
// with the session, the posted work done, and a form saved as a PNG as it shows on screen.

#include <memory>
#include <string>

namespace tw::forms {
class Form;
}

namespace tw::screenshots {

class ShotSession {
public:
    ShotSession(int& argc, char** argv);
    ~ShotSession();
    ShotSession(const ShotSession&) = delete;
    ShotSession& operator=(const ShotSession&) = delete;

    // Ends with "/"; removed with the session.
    const std::string& scratchFolder() const;
    // Lets the windows lay out and paint what they were asked to.
    void settle();
    // The form's inside, as painted; says what it wrote.
    bool save(const forms::Form& form, const std::string& path);

private:
    struct Native;
    std::unique_ptr<Native> m_native;
};

}  // namespace tw::screenshots
