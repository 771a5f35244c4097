#include "lyrics/ui/LyricsMenus.h"

#include <initializer_list>

#include "resources/CommandIds.h"

namespace {

struct Item {
    int id;
    const char* text;
};

QAction* addItem(QMenu& menu, const Item& item) {
    QAction* action = menu.addAction(QString::fromUtf8(item.text));
    action->setData(item.id);
    return action;
}

void addItems(QMenu& menu, std::initializer_list<Item> items) {
    for (const Item& item : items) {
        addItem(menu, item);
    }
}

void addChecked(QMenu& menu, const Item& item, bool checked) {
    QAction* action = addItem(menu, item);
    action->setCheckable(true);
    action->setChecked(checked);
}

}  // namespace

namespace LyricsMenus {

std::unique_ptr<QMenu> CreateLyricsMenu(int mode) {
    auto menu = std::make_unique<QMenu>();
    QMenu* modes = menu->addMenu(QString::fromUtf8("更改显示模式"));
    addChecked(*modes, {kCmdModeScroll, "多行滚动模式"}, mode == 0);
    addChecked(*modes, {kCmdModeAlternate, "双行轮换模式"}, mode == 1);
    QMenu* colors = menu->addMenu(QString::fromUtf8("设置颜色"));
    addItems(*colors, {{kCmdTextColor, "普通歌词颜色..."},
                       {kCmdHighTextColor, "高亮歌词颜色..."},
                       {kCmdBackColor, "普通背景颜色..."},
                       {kCmdHighBackColor, "高亮背景颜色..."}});
    QMenu* themes = menu->addMenu(QString::fromUtf8("选择颜色主题"));
    addItems(*themes, {{kCmdThemeMatrix, "黑客帝国"},
                       {kCmdThemeSunshine, "阳光地带"},
                       {kCmdThemeMint, "清凉薄荷"}});
    addItems(*menu, {{kCmdLyricFont, "设置字体..."}, {kCmdEditLyric, "编辑该歌词"}});
    return menu;
}

std::unique_ptr<QMenu> CreateNoLyricsMenu() {
    auto menu = std::make_unique<QMenu>();
    addItems(*menu, {{kCmdSearchLyric, "在库中搜索歌词"},
                     {kCmdManualMatch, "手工匹配歌词"},
                     {kCmdAddLyricToLibrary, "添加歌词入库"},
                     {kCmdMakeLyric, "亲自制作该歌歌词"}});
    return menu;
}

std::unique_ptr<QMenu> CreateVideoMenu(bool fullScreen) {
    auto menu = std::make_unique<QMenu>();
    addChecked(*menu, {kCmdFullScreen, "全屏播放"}, fullScreen);
    addChecked(*menu, {kCmdNormalScreen, "正常播放"}, !fullScreen);
    return menu;
}

}  // namespace LyricsMenus
