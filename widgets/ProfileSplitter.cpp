#include "widgets/ProfileSplitter.h"

#include <cstdio>
#include <sstream>

#include "shell/IniFile.h"

namespace {
constexpr const char* kSection = "SplitterWnd";
constexpr const char* kKey = "Panes_0";
// Wide enough at first start for the song list's name and time columns side by side.
constexpr const char* kDefault = "-1 220 -1 150";
constexpr int kMinimumPane = 10;
constexpr int kUnsetWidthStored = 100;
}  // namespace

SplitterLayout SplitterLayout::parse(const std::string& text) {
    SplitterLayout layout;
    std::istringstream in(text);
    int values[4] = {layout.hiddenColumn, layout.width0, layout.hiddenRow, layout.width1};
    for (int& value : values) {
        int read = 0;
        if (!(in >> read)) {
            break;
        }
        value = read;
    }
    layout.hiddenColumn = (values[0] == 0 || values[0] == 1) ? values[0] : -1;
    layout.width0 = values[1];
    layout.hiddenRow = -1;
    layout.width1 = values[3];
    return layout;
}

std::string SplitterLayout::format() const {
    const auto stored = [](int width) { return width == -1 ? kUnsetWidthStored : width; };
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%d %d %d %d", hiddenColumn, stored(width0), hiddenRow,
                  stored(width1));
    return buffer;
}

ProfileSplitter::ProfileSplitter(QWidget* parent) : QSplitter(Qt::Horizontal, parent) {
    setChildrenCollapsible(false);
}

void ProfileSplitter::SetPanes(QWidget* left, QWidget* right, const CIniFile& profile) {
    addWidget(left);
    addWidget(right);
    left->setMinimumWidth(kMinimumPane);
    right->setMinimumWidth(kMinimumPane);
    setStretchFactor(0, 0);
    setStretchFactor(1, 1);
    m_layout = SplitterLayout::parse(profile.ReadString(kSection, kKey, kDefault));
    applyLayout();
}

void ProfileSplitter::applyLayout() {
    setSizes({qMax(m_layout.width0, kMinimumPane), qMax(m_layout.width1, kMinimumPane)});
    for (int column = 0; column < count(); ++column) {
        widget(column)->setVisible(m_layout.hiddenColumn != column);
    }
}

bool ProfileSplitter::IsColumnHidden(int column) const {
    return m_layout.hiddenColumn == column;
}

void ProfileSplitter::ToggleLeftPane() {
    if (m_layout.hiddenColumn == -1) {
        const QList<int> widths = sizes();
        m_layout.width0 = widths.value(0, m_layout.width0);
        m_layout.width1 = widths.value(1, m_layout.width1);
        m_layout.hiddenColumn = 0;
        widget(0)->hide();
        return;
    }
    if (m_layout.hiddenColumn == 0) {
        m_layout.hiddenColumn = -1;
        applyLayout();
    }
}

void ProfileSplitter::SaveLayout(const CIniFile& profile) {
    if (m_layout.hiddenColumn == -1 && count() == 2) {
        const QList<int> widths = sizes();
        m_layout.width0 = widths.value(0, -1);
        m_layout.width1 = widths.value(1, -1);
    }
    profile.WriteString(kSection, kKey, m_layout.format().c_str());
}
