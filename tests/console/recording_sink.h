// A sink that keeps everything the session tells the window, and what the session tests share:
// units with known cell texts, expected request bytes, and the event loop's part in Apply.
#pragma once

#include "console/console_session.h"
#include "protocol/constants.h"
#include "protocol/datagram.h"
#include "tests/support/raw_datagram.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tarnwick {

inline void PrintTo(const Cell& cell, std::ostream* out) {
    *out << '"' << cell.text << "\" colour " << cell.colour << (cell.bold ? " bold" : "");
}
inline void PrintTo(const EditPlacement& at, std::ostream* out) {
    *out << "row " << at.row << " column " << at.column << " \"" << at.text << '"';
}

} // namespace tarnwick

namespace tarnwick::test {

using Texts = std::vector<std::string>;

struct ShownMessage {
    MessageReport report;
    MessageOrigin origin;
};

class RecordingSink : public SessionSink {
public:
    Texts sent; // every datagram handed over, also those that failed
    std::vector<ShownMessage> messages;
    Texts captions;
    bool listEnabled = true; // the views' start states
    bool buttonsEnabled = false;
    int highlight = 0;
    int applyStepsDue = 0;
    std::optional<std::string> sendError; // when set, every send fails with it

    std::optional<std::string> SendDatagram(const std::string& datagram) override {
        sent.push_back(datagram);
        return sendError;
    }
    void ShowMessage(const MessageReport& report, MessageOrigin origin) override {
        messages.push_back({report, origin});
    }
    void ListEnabledChanged(bool enabled) override { listEnabled = enabled; }
    void ButtonsEnabledChanged(bool enabled) override { buttonsEnabled = enabled; }
    void HighlightChanged(int row) override { highlight = row; }
    void CaptionChanged(const std::string& caption) override { captions.push_back(caption); }
    void ApplyStepDue() override { ++applyStepsDue; }
    void Clear() {
        sent.clear();
        messages.clear();
        captions.clear();
    }
};

inline std::string Mac(int unit) {
    return "00:1B:2C:00:00:0" + std::to_string(unit);
}

// Unit n (1 to 9): Serial Number SN-n, IP Address 10.0.0.n, Host Name host-n, DHCP off.
inline std::string UnitReply(int unit, const std::string& savedIp, const std::string& unitId) {
    const std::string n = std::to_string(unit);
    return IdentificationReplyBytes({{"05", "SN-" + n},
                                     {"06", "10.0.0." + n},
                                     {"07", savedIp},
                                     {"08", "255.255.0.0"},
                                     {"0A", "FALSE"},
                                     {"0C", "host-" + n},
                                     {"0D", Mac(unit)},
                                     {"0F", unitId}});
}
inline std::string UnitReply(int unit) {
    return UnitReply(unit, "10.1.0." + std::to_string(unit), "UID-" + std::to_string(unit));
}

inline std::string Item(int field, const std::string& value) {
    std::string item;
    AppendFieldItem(item, field, value);
    return item;
}
inline std::string Request(int functionCode, int messageClass, const std::string& dataPart) {
    return BuildRequest(static_cast<std::uint8_t>(functionCode),
                        static_cast<std::uint8_t>(messageClass), dataPart)
        .value();
}

// "select 2", "changes 3": the request's kind and the unit whose MAC address it names.
inline std::string Label(const std::string& datagram) {
    static const char* const kinds[] = {"identify", "select", "unselect", "changes"};
    const int code =
        static_cast<unsigned char>(datagram.at(MessageFieldsStartPositionsFunctionCode));
    std::string label = code >= 16 && code <= 19 ? kinds[code - 16] : std::to_string(code);
    for (int unit = 1; unit <= 9; ++unit)
        if (datagram.find(Mac(unit)) != std::string::npos)
            label += " " + std::to_string(unit);
    return label;
}

class SessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        session.StartUp();
        sink.Clear();
    }
    void Feed(const std::string& reply) {
        EXPECT_EQ(session.TakeDatagram(reply, "10.0.0.200"), IntakeResult::IdentificationReply);
    }
    void AddUnits(int count) {
        for (int unit = 1; unit <= count; ++unit)
            Feed(UnitReply(unit));
    }
    const Cell& At(int row, int column) const { return session.Units().CellAt(row, column); }
    bool Marked(int row, int column) const { return At(row, column).colour == ColourRed; }
    // A release on the cell of `row` (selecting it), then the text committed there.
    CommitResult Commit(int row, int column, const std::string& text) {
        if (!session.StartEdit(row, true, column)) {
            ADD_FAILURE() << "no editor on row " << row << " column " << column;
            return CommitResult::Refused;
        }
        return session.SetText(text);
    }
    Texts Labels() const {
        Texts labels;
        for (const std::string& datagram : sink.sent)
            labels.push_back(Label(datagram));
        return labels;
    }
    bool SentChanges() const {
        for (const std::string& label : Labels())
            if (label.starts_with("changes"))
                return true;
        return false;
    }
    // One ApplyStep for each ApplyStepDue, as the window's event loop does.
    bool StepApply() {
        if (stepsRun_ == sink.applyStepsDue)
            return false;
        ++stepsRun_;
        session.ApplyStep();
        return true;
    }
    void FinishApply() {
        for (int guard = 0; guard < 100 && StepApply(); ++guard) {
        }
        EXPECT_FALSE(session.Applying());
    }

    RecordingSink sink;
    ConsoleSession session{sink, false};

private:
    int stepsRun_ = 0;
};

} // namespace tarnwick::test
