#include "forms/combo_box.h"

#include <QComboBox>

#include "forms/qt/native_control.h"
#include "platform/qt/text_codec.h"
#include "runtime/runtime_error.h"

namespace tw::forms {

namespace {

QComboBox* comboWidget(QWidget* widget) { return static_cast<QComboBox*>(widget); }

}  // namespace

ComboBox::ComboBox(Container& owner, std::string name, int index)
    : Control(owner, std::move(name), index, qt::nativeControl(new QComboBox(qt::surfaceOf(owner))),
              1215, 315) {
    comboWidget(qt::widgetOf(*this))->setEditable(false);
    QObject::connect(comboWidget(qt::widgetOf(*this)), &QComboBox::currentIndexChanged,
                     qt::signalContextOf(*this), [this](int i) {
                         if (m_quiet) return;
                         m_listIndex = i;
                         click();
                     });
}

void ComboBox::addItem(const std::string& text) {
    m_items.push_back(text);
    QComboBox* combo = comboWidget(qt::widgetOf(*this));
    if (!combo) return;
    // Qt picks the first entry of an empty list by itself; the list keeps no pick instead.
    m_quiet = true;
    combo->addItem(platform::toQString(text));
    combo->setCurrentIndex(m_listIndex);
    m_quiet = false;
}

void ComboBox::clear() {
    m_items.clear();
    m_listIndex = -1;
    if (QComboBox* combo = comboWidget(qt::widgetOf(*this))) {
        m_quiet = true;
        combo->clear();
        m_quiet = false;
    }
}

std::string ComboBox::list(int i) const {
    if (i < 0 || i >= listCount()) return {};
    return m_items[static_cast<std::size_t>(i)];
}

void ComboBox::setListIndex(int i) {
    if (i < -1 || i >= listCount()) throw RuntimeError(kErrInvalidPropertyValue);
    if (i == m_listIndex) return;
    if (QComboBox* combo = comboWidget(qt::widgetOf(*this))) {
        combo->setCurrentIndex(i);  // the signal records the index and runs onClick
    } else {
        m_listIndex = i;
        click();
    }
}

void ComboBox::copyFrom(const ComboBox& source) {
    copyCommonFrom(source);
    clear();
    for (const std::string& item : source.m_items) addItem(item);
    m_quiet = true;
    if (QComboBox* combo = comboWidget(qt::widgetOf(*this))) combo->setCurrentIndex(source.m_listIndex);
    m_listIndex = source.m_listIndex;
    m_quiet = false;
}

}  // namespace tw::forms
