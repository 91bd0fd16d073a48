#include "tests/app/window_test_support.h"

#include "protocol/constants.h"
#include "protocol/datagram.h"
#include "tests/support/raw_datagram.h"

namespace tarnwick::test {

WindowUnderTest::WindowUnderTest(bool internalMode) {
    WindowSeams seams;
    seams.send = [this](const std::string& message) -> std::optional<std::string> {
        if (sendError)
            return sendError;
        sent.push_back(message);
        return std::nullopt;
    };
    seams.show = [this](const MessageReport& report, MessageOrigin origin) {
        shown.push_back({report, origin});
        // The user closes every box at once.
        window->Session().MessageClosed(origin);
    };
    seams.localAddresses = std::vector<std::string>{"192.168.7.5", "10.0.0.5"};
    seams.socketState = [this] { return socketState; };
    window = std::make_unique<frmLumivarNetTarnwick>(internalMode, seams);
}

std::string WindowUnderTest::Mac(int unit) const {
    return "00:00:00:00:00:0" + std::to_string(unit);
}

void WindowUnderTest::AddUnits(int count) {
    for (int unit = 1; unit <= count; ++unit) {
        const std::string n = std::to_string(unit);
        Session().TakeDatagram(IdentificationReplyBytes({{"0D", Mac(unit)},
                                                         {"05", "SN" + n},
                                                         {"07", "10.0.0." + n},
                                                         {"08", "255.255.0.0"},
                                                         {"0C", "host-" + n},
                                                         {"0F", unit == 3 ? "" : "CAM" + n},
                                                         {"0A", "FALSE"}}),
                               "192.168.7.2" + n);
    }
}

std::vector<std::string> WindowUnderTest::TakeSent() {
    return std::exchange(sent, {});
}

std::vector<std::string> WindowUnderTest::TakeMessages() {
    std::vector<std::string> texts;
    for (const auto& s : shown)
        texts.push_back(s.report.text);
    shown.clear();
    return texts;
}

std::string UnitRequestFor(std::uint8_t functionCode, const std::string& mac) {
    std::string data = BeginDataPart(VersionNumbers001, FieldBit(FieldNumberMACAddress), 0);
    AppendFieldItem(data, FieldNumberMACAddress, mac);
    return *BuildRequest(functionCode, MessageClass6, data);
}

} // namespace tarnwick::test
