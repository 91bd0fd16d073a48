// The console's message boxes: modal to the window, but opened without a nested event loop.
#pragma once

#include "protocol/message_report.h"

#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace tarnwick {

// Opens the box and returns at once; `closed` runs when the user has closed it.
void OpenMessageBox(QWidget* parent, const MessageReport& report, std::function<void()> closed);

// "Check Addresses": what is wrong with the addresses Apply would set (UTF-8 lines), and
// "Apply Anyway" or "Cancel" (the default, and Escape). `applyAnyway` runs on the first.
void OpenCheckAddressesBox(QWidget* parent, const std::vector<std::string>& problems,
                           std::function<void()> applyAnyway);

} // namespace tarnwick
