// The real window with recorders in its seams.
#pragma once

#include "app/main_window.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tarnwick::test {

struct Shown {
    MessageReport report;
    bool intake;
};

class WindowUnderTest {
public:
    explicit WindowUnderTest(bool internalMode = false);

    frmLumivarNetTarnwick& operator*() { return *window; }
    frmLumivarNetTarnwick* operator->() { return window.get(); }

    // Feeds identification replies for units 1..n (MAC 00:00:00:00:00:0<i>).
    void AddUnits(int count);
    std::string Mac(int unit) const;
    // Datagrams sent since the last call.
    std::vector<std::string> TakeSent();

    std::vector<std::string> sent;
    std::vector<Shown> shown;
    std::optional<QString> sendError;
    int socketState = 1;
    std::unique_ptr<frmLumivarNetTarnwick> window;
};

// The select or unselect request the window must send for `mac` with the default filter.
std::string UnitRequestFor(std::uint8_t functionCode, const std::string& version,
                           const std::string& mac);

} // namespace tarnwick::test
