// The window icon, the toolbar images and the change results' marks: the desktop's icon theme
// first, the images bundled with the program where the theme has none, so no button is ever blank.
#pragma once

#include "console/requests/change_results.h"

#include <QIcon>

namespace tarnwick {

QIcon ExitIcon();
QIcon RefreshIcon();
QIcon ExplorerIcon();
// The application icon.
QIcon TarnwickWindowIcon();
// The mark of a unit's last change request in the list's first column.
QIcon ChangeResultIcon(ChangeState state);
// Beside a unit's IP address when this computer's networks do not reach it.
QIcon UnreachableIcon();

} // namespace tarnwick
