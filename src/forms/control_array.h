#pragma once
// A control array: element 0 is built with the array (the designed element); further
// elements are loaded at run time as hidden copies of element 0's properties and unloaded
// again. Loading and unloading are cheap, so lists of hundreds of rows can be rebuilt on
// every update: an unloaded element is out of reach at once, but its widget waits hidden
// (up to kMaxSpareControls of them) to serve the next load, since making and destroying
// widgets was most of the cost of a rebuild.
//
// Errors, as RuntimeError: a missing element 340; loading an index that is loaded 360;
// unloading element 0 362.
//
// onClick(index) runs for a click on any element: every element's own onClick is preset to
// call it with the element's index.

#include <cstddef>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "forms/container.h"
#include "runtime/runtime_error.h"

namespace tw::forms {

inline constexpr int kMaxControlArrayIndex = 32767;
inline constexpr std::size_t kMaxSpareControls = 256;

template <class C>
class ControlArray {
public:
    ControlArray(Container& owner, std::string name) : m_owner(owner), m_name(std::move(name)) {
        auto first = std::make_unique<C>(m_owner, m_name, 0);
        forwardClicks(*first, 0);
        m_elements.emplace(0, std::move(first));
    }
    ControlArray(const ControlArray&) = delete;
    ControlArray& operator=(const ControlArray&) = delete;

    const std::string& name() const { return m_name; }

    C& operator[](int i) { return *find(i); }
    const C& operator[](int i) const { return *find(i); }
    bool exists(int i) const { return m_elements.count(i) != 0; }
    int lbound() const { return m_elements.begin()->first; }
    int ubound() const { return m_elements.rbegin()->first; }
    int count() const { return static_cast<int>(m_elements.size()); }
    // The loaded indexes, lowest first.
    std::vector<int> indexes() const {
        std::vector<int> result;
        result.reserve(m_elements.size());
        for (const auto& entry : m_elements) result.push_back(entry.first);
        return result;
    }

    C& load(int i) {
        if (i < 0 || i > kMaxControlArrayIndex) throw error(kErrNoSuchControlElement);
        if (exists(i)) throw error(kErrObjectAlreadyLoaded);
        std::unique_ptr<C> element;
        if (m_spares.empty()) {
            element = std::make_unique<C>(m_owner, m_name, i);
        } else {
            element = std::move(m_spares.back());
            m_spares.pop_back();
            element->setIndex(i);
        }
        element->copyFrom(*find(0));
        element->followInTabOrder(*std::prev(m_elements.lower_bound(i))->second);  // element 0 is below
        element->setVisible(false);
        forwardClicks(*element, i);
        return *m_elements.emplace(i, std::move(element)).first->second;
    }

    void unload(int i) {
        if (i == 0) throw error(kErrCantUnloadDesignTimeControl);
        const auto it = m_elements.find(i);
        if (it == m_elements.end()) throw error(kErrNoSuchControlElement);
        std::unique_ptr<C> element = std::move(it->second);
        m_elements.erase(it);
        if (m_spares.size() >= kMaxSpareControls) return;  // destroyed here
        // A click handler running now holds its own copy of onClick, so it may end safely.
        element->setVisible(false);
        element->onClick = nullptr;
        m_spares.push_back(std::move(element));
    }

    std::function<void(int index)> onClick;

private:
    C* find(int i) const {
        const auto it = m_elements.find(i);
        if (it == m_elements.end()) throw error(kErrNoSuchControlElement);
        return it->second.get();
    }
    // The array's errors name the array as their source.
    RuntimeError error(ErrorNumber number) const {
        return RuntimeError(number, errorDescription(number), m_name);
    }
    void forwardClicks(C& element, int i) {
        element.onClick = [this, i] {
            const auto handler = onClick;
            if (handler) handler(i);
        };
    }

    Container& m_owner;
    std::string m_name;
    std::map<int, std::unique_ptr<C>> m_elements;
    std::vector<std::unique_ptr<C>> m_spares;
};

}  // namespace tw::forms
