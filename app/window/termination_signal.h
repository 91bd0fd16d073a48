// SIGTERM and SIGINT close the window the ordinary way, so the selected unit is released.
#pragma once

class QWidget;

namespace tarnwick {

void CloseOnTerminationSignal(QWidget& window);

} // namespace tarnwick
