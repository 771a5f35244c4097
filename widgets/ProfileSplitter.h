#pragma once

#include <QSplitter>
#include <string>

// The layout a two-column splitter keeps between runs: "%d %d %d %d" = hidden column (−1 when
// both show), width of column 0, hidden row (always −1), width of column 1.
struct SplitterLayout {
    int hiddenColumn = -1;
    int width0 = 150;
    int hiddenRow = -1;
    int width1 = 150;

    // Parses the stored text; missing or malformed fields keep their defaults.
    static SplitterLayout parse(const std::string& text);
    // The stored text; a width of −1 is stored as 100.
    std::string format() const;
};

class CIniFile;

// A one-row, two-column splitter that restores its layout from a profile (section
// "SplitterWnd", key "Panes_0") and stores it back when asked. Each pane keeps at least 10
// pixels.
class ProfileSplitter : public QSplitter {
    Q_OBJECT

public:
    explicit ProfileSplitter(QWidget* parent = nullptr);

    // Places the two panes and applies the layout stored in `profile`.
    void SetPanes(QWidget* left, QWidget* right, const CIniFile& profile);
    // Takes the current widths (while both columns show) and stores the layout.
    void SaveLayout(const CIniFile& profile);

    bool IsColumnHidden(int column) const;
    // Hides column 0 when both show; shows it again when it is the hidden one.
    void ToggleLeftPane();
    const SplitterLayout& Layout() const { return m_layout; }

private:
    void applyLayout();

    SplitterLayout m_layout;
};
