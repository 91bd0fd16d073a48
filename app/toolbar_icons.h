// The window icon and the three toolbar images, drawn here rather than shipped as files.
#pragma once

#include <QIcon>

namespace tarnwick {

QIcon ExitIcon();
QIcon RefreshIcon();
QIcon ExplorerIcon();
// A small video unit with a signal arc, at 16 and 32 pixels.
QIcon TarnwickWindowIcon();

} // namespace tarnwick
