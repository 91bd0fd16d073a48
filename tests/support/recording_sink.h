// The one stand-in for the views and the runtime behind a console session: it records what the
// session tells its views and sends what it has to send (tests, the fuzzer and the benchmarks
// share it).
#pragma once

#include "console/session/console_session.h"
#include "tests/support/raw_datagram.h"

#include <optional>
#include <string>
#include <vector>

namespace tarnwick::test {

struct RecordingSink : SessionListener {
    Texts sent, captions, shown; // shown: "<origin> <icon>: <text>"
    std::vector<MessageReport> reports;
    bool listEnabled = true, buttonsEnabled = false; // the views' start states
    int highlight = 0;
    std::optional<std::string> sendError; // when set, every send fails with it
    bool sendPartly = false;              // ... though it went out through some interface

    // What the session has to send goes out, as the runtime sends it after each call.
    void Drain(ConsoleSession& session, TimeOfDay now = {}) {
        while (const auto datagram = session.PollTransmit()) {
            sent.push_back(datagram->bytes);
            session.Transmitted(
                *datagram,
                sendError ? std::optional(SendFailure{*sendError, sendPartly}) : std::nullopt, now);
        }
    }
    void ShowMessage(const MessageReport& report, MessageOrigin origin) override {
        static const char* const origins[] = {"intake", "transport", "request", "validation"};
        static const char* const icons[] = {"information", "exclamation", "critical"};
        shown.push_back(std::string(origins[static_cast<int>(origin)]) + " " +
                        icons[static_cast<int>(report.icon)] + ": " + report.text);
        reports.push_back(report);
    }
    void ListEnabledChanged(bool enabled) override { listEnabled = enabled; }
    void ButtonsEnabledChanged(bool enabled) override { buttonsEnabled = enabled; }
    void HighlightChanged(int row) override { highlight = row; }
    void CaptionChanged(const std::string& caption) override { captions.push_back(caption); }
    void ResultsChanged(int row) override { resultRows.push_back(row); }
    std::vector<int> resultRows;
};

} // namespace tarnwick::test
