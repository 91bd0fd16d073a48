#include "tests/app/window_test_support.h"

#include "protocol/constants.h"
#include "protocol/datagram.h"
#include "tests/support/raw_datagram.h"

namespace tarnwick::test {

WindowUnderTest::WindowUnderTest(bool internalMode) {
    WindowSeams seams;
    seams.send = [this](const std::string& message) -> std::optional<QString> {
        if (sendError)
            return sendError;
        sent.push_back(message);
        return std::nullopt;
    };
    seams.show = [this](const MessageReport& report, bool intake) {
        shown.push_back({report, intake});
    };
    seams.hostIdentity = [] { return HostIdentity{"console", {"192.168.7.5", "10.0.0.5"}}; };
    seams.socketState = [this] { return socketState; };
    window = std::make_unique<frmLumivarNetTarnwick>(internalMode, seams);
}

std::string WindowUnderTest::Mac(int unit) const {
    return "00:00:00:00:00:0" + std::to_string(unit);
}

void WindowUnderTest::AddUnits(int count) {
    for (int unit = 1; unit <= count; ++unit) {
        const std::string bytes = IdentificationReplyBytes({{"0D", Mac(unit)},
                                                            {"0C", "host-" + std::to_string(unit)},
                                                            {"0F", "CAM" + std::to_string(unit)},
                                                            {"0A", "FALSE"}});
        window->TakeDatagram(bytes, "192.168.7.2" + std::to_string(unit));
    }
}

std::vector<std::string> WindowUnderTest::TakeSent() {
    return std::exchange(sent, {});
}

std::string UnitRequestFor(std::uint8_t functionCode, const std::string& version,
                           const std::string& mac) {
    std::string data = BeginDataPart(version, FieldBit(FieldNumberMACAddress), 0);
    AppendFieldItem(data, FieldNumberMACAddress, mac);
    return *BuildRequest(functionCode, MessageClass6, data);
}

} // namespace tarnwick::test
