// The console session without a window: the recording sink stands in for the views, and the
// tests run the event loop's part in Apply themselves.
#pragma once

#include "console/session/console_session.h"
#include "protocol/datagram.h"
#include "tests/support/raw_datagram.h"
#include "tests/support/recording_sink.h"

#include <gtest/gtest.h>

namespace tarnwick::test {

// A field item as requests write it.
inline std::string Item(const char* field, const std::string& value) {
    return field + (":" + value) + '\0';
}

// The session as the runtime drives it: what a call leaves to send goes out once it returns
// (session->Call()); *session reaches it without that.
class DrivenSession {
public:
    DrivenSession(RecordingSink& sink, bool internal) : sink_(sink), session_(sink, internal) {}
    class Call {
    public:
        explicit Call(DrivenSession& owner) : owner_(owner) {}
        ~Call() { owner_.sink_.Drain(owner_.session_, owner_.now); }
        ConsoleSession* operator->() { return &owner_.session_; }

    private:
        DrivenSession& owner_;
    };
    Call operator->() { return Call(*this); }
    ConsoleSession& operator*() { return session_; }
    const SessionState& State() const { return session_.State(); }

    TimeOfDay now; // what the clock says when the datagrams go out

private:
    RecordingSink& sink_;
    ConsoleSession session_;
};

// A started session and what its window would show.
struct Console {
    explicit Console(bool internal = false) : session(sink, internal) {
        session->StartUp();
        EXPECT_EQ(Sent(), "identify");
    }
    // The sample units, answering in this order.
    void Feed(std::initializer_list<int> units) {
        for (const int unit : units)
            session->TakeDatagram(SampleUnitReply(unit), "10.0.0.200");
    }
    std::string At(int row, int column) const {
        return CellText(session.State().units, row, column);
    }
    // A release on the cell of `row` (selecting it), then the text committed there.
    CommitResult Commit(int row, int column, const std::string& text) {
        return session->StartEdit(row, true, column) ? session->SetText(text)
                                                     : CommitResult::Refused;
    }
    // The labels of the datagrams sent since the last call.
    std::string Sent() { return Labels(std::exchange(sink.sent, {})); }
    std::string Tick() {
        session->TimerOpenTick(SocketState::Open);
        return Sent();
    }
    std::string State() const {
        const SessionState& s = session.State();
        return "selected " + std::to_string(s.SelectedUnitIndex()) + " (highlight " +
               std::to_string(sink.highlight) + "), pending " +
               std::to_string(s.PendingChangeCount) +
               (sink.buttonsEnabled ? ", buttons on" : ", buttons off") +
               (sink.listEnabled ? ", list on" : ", list off") + ", wait " +
               std::to_string(s.ReplyWaitTicks);
    }
    // Apply's steps, one per turn of the window's event loop, until `sends` datagrams have gone
    // out or Apply has ended.
    void RunApply(std::size_t sends = 100) {
        for (; sink.sent.size() < sends && session.State().Applying() && steps < 99; ++steps)
            session->ApplyStep();
    }

    RecordingSink sink;
    DrivenSession session;
    int steps = 0;
};

class SessionTest : public ::testing::Test, public Console {};

} // namespace tarnwick::test
