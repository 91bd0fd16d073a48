// The window icon and the toolbar images: the desktop's icon theme first, the images bundled
// with the program where the theme has none, so no button is ever blank.
#pragma once

#include <QIcon>

namespace tarnwick {

QIcon ExitIcon();
QIcon RefreshIcon();
QIcon ExplorerIcon();
// The application icon.
QIcon TarnwickWindowIcon();

} // namespace tarnwick
