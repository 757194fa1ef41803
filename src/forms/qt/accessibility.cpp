#include "forms/qt/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include "forms/control.h"
#include "forms/qt/clickable_widget.h"

namespace tw::forms::qt {
namespace {

std::optional<QString> shownText(QWidget* widget) {
    const auto* drawn = dynamic_cast<const ClickableWidget*>(widget);
    return drawn ? drawn->shownText() : std::nullopt;
}

AccessibleRole roleOf(const QWidget* widget) {
    const QVariant role = widget->property(kAccessibleRoleProperty);
    return role.isValid() ? static_cast<AccessibleRole>(role.toInt()) : AccessibleRole::Default;
}

// The plain widgets this layer draws on (labels, pictures, shapes): their role and name
// read whenever asked, since Qt may make the interface as the widget is created, before the
// control has set them; and the press action of a link or button as its click. A widget
// with neither a role, a name nor a caption reads as Qt's own interface would.
class DrawnControlInterface : public QAccessibleWidget {
public:
    explicit DrawnControlInterface(QWidget* widget) : QAccessibleWidget(widget) {}

    QAccessible::Role role() const override {
        switch (roleOf(widget())) {
        case AccessibleRole::Link: return QAccessible::Link;
        case AccessibleRole::Button: return QAccessible::Button;
        case AccessibleRole::Picture: return QAccessible::Graphic;
        case AccessibleRole::Default: break;
        }
        if (shownText(widget())) return QAccessible::StaticText;
        return QAccessibleWidget::role();
    }

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name) {
            const QString name = widget()->property(kAccessibleNameProperty).toString();
            if (!name.isEmpty()) return name;
            if (const std::optional<QString> shown = shownText(widget())) return *shown;
        }
        return QAccessibleWidget::text(kind);
    }

    QStringList actionNames() const override {
        const AccessibleRole role = roleOf(widget());
        if (role == AccessibleRole::Link || role == AccessibleRole::Button) return {pressAction()};
        return QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override {
        auto* clickable = dynamic_cast<ClickableWidget*>(widget());
        if (action == pressAction() && clickable && clickable->clicked) clickable->clicked();
        else QAccessibleWidget::doAction(action);
    }
};

// Only widgets that are plain QWidgets to Qt's meta-object system: every kind Qt describes
// itself (buttons, lists, text boxes) has a class of its own there.
QAccessibleInterface* drawnControlFactory(const QString&, QObject* object) {
    if (!object || object->metaObject() != &QWidget::staticMetaObject) return nullptr;
    return new DrawnControlInterface(static_cast<QWidget*>(object));
}

}  // namespace

void installAccessibleInterfaces() {
    static const bool installed = [] {
        QAccessible::installFactory(&drawnControlFactory);
        return true;
    }();
    (void)installed;
}

}  // namespace tw::forms::qt
