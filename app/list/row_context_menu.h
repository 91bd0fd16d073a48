// The menu a right click on a unit's row opens: resend or discard its changes, copy its
// addresses.
#pragma once

#include "runtime/console_runtime.h"

class QPoint;
class QWidget;

namespace tarnwick {

// Opens without waiting (no nested event loop); acts on the unit, wherever its row is by then.
void OpenRowContextMenu(QWidget* parent, QPoint globalPosition, ConsoleRuntime& runtime, int row);

} // namespace tarnwick
