#pragma once

#include <QIcon>
#include <QPixmap>

// The player's pictures, drawn rather than loaded so that no file can go missing: the program
// icon, the menu and toolbar icons and the splash picture.
namespace FrameIcons {

QIcon appIcon();
// The picture of a command, or an empty icon for commands without one.
QIcon commandIcon(int commandId);
QPixmap splashPicture();

}  // namespace FrameIcons
