#pragma once
// A drop-down list: the user picks an entry and cannot type. Entries keep the exact bytes
// they were added with, so a picked name compares equal to the name it came from.
// listIndex -1 means nothing is picked; every change of index, by the program or the user,
// runs onClick.

#include <string>
#include <vector>

#include "forms/control.h"

namespace tw::forms {

class ComboBox : public Control {
public:
    ComboBox(Container& owner, std::string name, int index = -1);

    void addItem(const std::string& text);
    // Empties the list; the index becomes -1 without a click.
    void clear();
    int listCount() const { return static_cast<int>(m_items.size()); }
    // The entry at i, "" outside the list.
    std::string list(int i) const;
    int listIndex() const { return m_listIndex; }
    // -1 to listCount() - 1; anything else is RuntimeError 380.
    void setListIndex(int i);
    // The picked entry, "" when none.
    std::string text() const { return list(m_listIndex); }

    void copyFrom(const ComboBox& source);

private:
    std::vector<std::string> m_items;
    int m_listIndex = -1;
    bool m_quiet = false;  // changes made here that are not the program's or the user's pick
};

}  // namespace tw::forms
