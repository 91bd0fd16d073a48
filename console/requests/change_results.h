// What became of the change requests: one result per unit, kept by its MAC address so that it
// outlives a Refresh, and the sum of the last Apply.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

namespace tarnwick {

enum class ChangeState { Sent, Confirmed, NoAnswer, UnclearAnswer };

// A time of day on this computer's clock: what results are stamped with.
struct TimeOfDay {
    int hour = 0;
    int minute = 0;
    int second = 0;
};
// "14:03:07"
std::string TimeText(TimeOfDay time);

struct ChangeResult {
    ChangeState state = ChangeState::Sent;
    std::string sentAt;     // times of day, as the clock said them
    std::string answeredAt; // when confirmed or found unclear
    int ticksLeft = 0;      // of the reply wait
    bool invalidReply = false;
};

class ChangeResults {
public:
    // A change request went to `mac`: its result starts again; `newRound` starts the sum anew.
    void Sent(const std::string& mac, const std::string& now, int waitTicks, bool newRound);
    // A valid change reply from `mac`; false when no change of it was waiting.
    bool Confirmed(const std::string& mac, const std::string& now);
    // An invalid change reply that names `mac`, or came from it; false when nothing waited.
    bool InvalidReply(const std::string& mac, const std::string& now);
    // One tick of the reply wait; the units whose wait ran out without a valid reply.
    std::vector<std::string> Tick();

    const ChangeResult* Find(const std::string& mac) const;
    bool Waiting(const std::string& mac) const;
    // No answer or an unclear one: worth sending again.
    bool Unconfirmed(const std::string& mac) const;
    // Whether any unit's last change is unconfirmed, listed or not.
    bool AnyUnconfirmed() const;
    // "Apply: 12 sent · 11 confirmed · 1 no answer" for the last round; empty before any.
    std::string RoundText() const;
    void EndRound() { round_.clear(); }

private:
    std::unordered_map<std::string, ChangeResult> byMac_;
    std::vector<std::string> round_; // the units of the last Apply, each once
};

// The tooltip of a unit's result: "Change sent 14:03:07 — confirmed 14:03:07".
std::string ResultText(const ChangeResult& result);
// The word the export and the accessible description use: "sent", "confirmed", ...
const char* StateWord(ChangeState state);

} // namespace tarnwick
