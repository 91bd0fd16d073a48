// The console's message boxes: modal to the window, but opened without a nested event loop.
#pragma once

#include "protocol/message_report.h"

#include <functional>

class QWidget;

namespace tarnwick {

// Opens the box and returns at once; `closed` runs when the user has closed it.
void OpenMessageBox(QWidget* parent, const MessageReport& report, std::function<void()> closed);

} // namespace tarnwick
