// SIGTERM and SIGINT arrive as an ordinary event on the owner's thread, so a front end ends the
// ordinary way and the selected unit is released.
#pragma once

#include <functional>

class QObject;

namespace tarnwick {

// `handler` gets the signal's number, once per signal, while `owner` lives.
void OnTerminationSignal(QObject& owner, std::function<void(int signal)> handler);

} // namespace tarnwick
