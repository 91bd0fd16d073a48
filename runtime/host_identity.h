// The local computer name and the IPv4 addresses it resolves to: the console's own
// broadcasts come back from these and are dropped.
#pragma once

#include <functional>
#include <string>
#include <vector>

class QObject;

namespace tarnwick {

// The computer name, or empty when it cannot be read.
std::string fOSMachineName();

// Resolves the computer name in the background (start-up never waits on a resolver) and hands
// its IPv4 addresses, in resolver order, to `found` while `context` lives. Nothing found: an
// empty list.
void fGetHostIPAddresses(QObject* context, std::function<void(std::vector<std::string>)> found);

} // namespace tarnwick
