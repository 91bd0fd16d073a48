#include "runtime/host_identity.h"

#include <QHostInfo>

#include <unistd.h>

#include <climits>

namespace tarnwick {

std::string fOSMachineName() {
    char name[HOST_NAME_MAX + 1] = {};
    if (gethostname(name, sizeof name - 1) != 0)
        return {};
    return name;
}

void fGetHostIPAddresses(QObject* context, std::function<void(std::vector<std::string>)> found) {
    QHostInfo::lookupHost(QString::fromStdString(fOSMachineName()), context,
                          [found = std::move(found)](const QHostInfo& host) {
                              std::vector<std::string> addresses;
                              for (const QHostAddress& address : host.addresses()) {
                                  const std::string text = address.toString().toStdString();
                                  if (address.protocol() == QAbstractSocket::IPv4Protocol &&
                                      std::find(addresses.begin(), addresses.end(), text) ==
                                          addresses.end())
                                      addresses.push_back(text);
                              }
                              found(std::move(addresses));
                          });
}

} // namespace tarnwick
