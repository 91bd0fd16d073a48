// A session sink that sends nowhere and keeps only the messages: for the fuzzer, the benchmarks
// and the discovery probe, which drive the session without a window.
#pragma once

#include "console/session_sink.h"

#include <vector>

namespace tarnwick::test {

class QuietSink : public SessionSink {
public:
    std::optional<std::string> SendDatagram(const std::string&) override {
        ++sent;
        return std::nullopt;
    }
    void ShowMessage(const MessageReport& report, MessageOrigin) override {
        messages.push_back(report);
    }
    void ListEnabledChanged(bool) override {}
    void ButtonsEnabledChanged(bool) override {}
    void HighlightChanged(int) override {}
    void CaptionChanged(const std::string&) override {}
    void ApplyStepDue() override { ++applyStepsDue; }

    int sent = 0;
    int applyStepsDue = 0;
    std::vector<MessageReport> messages;
};

} // namespace tarnwick::test
