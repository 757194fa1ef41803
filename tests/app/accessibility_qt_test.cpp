// What a screen reader finds in the main window: the server names, "Last Updated:", the home
// page and the claimant links as links and a button by their text, the realm pictures and
// the status lamps by name, and a link's press action doing what its click does.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QWidget>

#include <string>
#include <utility>
#include <vector>

#include "forms/qt/native_form.h"
#include "shown_main_window.h"

namespace tw {
namespace {

using Node = std::pair<QAccessible::Role, std::string>;

void collect(QAccessibleInterface* node, std::vector<Node>& into, std::vector<QAccessibleInterface*>& all) {
    if (!node) return;
    if (!node->state().invisible) {
        into.emplace_back(node->role(), node->text(QAccessible::Name).toStdString());
        all.push_back(node);
    }
    for (int i = 0; i < node->childCount(); ++i) collect(node->child(i), into, all);
}

bool has(const std::vector<Node>& nodes, QAccessible::Role role, const std::string& name) {
    for (const Node& node : nodes)
        if (node.first == role && node.second == name) return true;
    return false;
}

using MainWindowAccessibility = testing::ShownMainWindow;

TEST_F(MainWindowAccessibility, LinksButtonsAndPicturesSayWhatTheyAreAndALinksPressSelects) {
    main.lblServers[0].click();  // Ironmoor, whose panel has a claimed keep
    ASSERT_EQ(main.lblServerName.caption(), "Ironmoor");

    std::vector<Node> nodes;
    std::vector<QAccessibleInterface*> all;
    collect(QAccessible::queryAccessibleInterface(forms::qt::windowOf(main)), nodes, all);
    for (int i = 0; i <= main.lblServers.ubound(); ++i)
        EXPECT_TRUE(has(nodes, QAccessible::Link, main.lblServers[i].caption())) << main.lblServers[i].caption();
    EXPECT_TRUE(has(nodes, QAccessible::Button, "Last Updated:"));
    EXPECT_TRUE(has(nodes, QAccessible::Link, main.lblClaimed[1].caption()));
    EXPECT_TRUE(has(nodes, QAccessible::StaticText, "Keep Ownership")) << "a plain label reads as its text";
    for (const char* realm : {"Midgard", "Albion", "Hibernia"})
        EXPECT_TRUE(has(nodes, QAccessible::Graphic, realm)) << realm;
    EXPECT_TRUE(has(nodes, QAccessible::Graphic, "Up")) << "the status lamp";

    // The press action of another server's link shows that server, as a click does.
    const std::string other = main.lblServers[1].caption();
    bool pressed = false;
    for (QAccessibleInterface* node : all)
        if (!pressed && node->role() == QAccessible::Link && node->text(QAccessible::Name).toStdString() == other) {
            ASSERT_NE(node->actionInterface(), nullptr);
            EXPECT_TRUE(node->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
            node->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            pressed = true;
        }
    EXPECT_TRUE(pressed);
    EXPECT_EQ(main.lblServerName.caption(), other);
    EXPECT_TRUE(boxes.calls.empty());
}

}  // namespace
}  // namespace tw
