#pragma once

#include <QMenu>
#include <memory>

// The lyrics view's context menus. Every action carries its command id as its data.
namespace LyricsMenus {

// "Lyrics": display mode, colours, themes, font, edit; the active mode is checked.
std::unique_ptr<QMenu> CreateLyricsMenu(int mode);
// "NoLyrics": search, manual match, add to library, make the lyric.
std::unique_ptr<QMenu> CreateNoLyricsMenu();
// "VCDMENU": full screen and normal play; the active one is checked.
std::unique_ptr<QMenu> CreateVideoMenu(bool fullScreen);

}  // namespace LyricsMenus
