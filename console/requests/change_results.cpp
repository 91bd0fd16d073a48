#include "console/requests/change_results.h"

#include <algorithm>
#include <array>

namespace tarnwick {
namespace {

bool IsUnconfirmed(const ChangeResult& result) {
    return result.state == ChangeState::NoAnswer || result.state == ChangeState::UnclearAnswer;
}

} // namespace

void ChangeResults::Sent(const std::string& mac, const std::string& now, int waitTicks,
                         bool newRound) {
    if (newRound)
        round_.clear();
    byMac_[mac] = {ChangeState::Sent, now, {}, waitTicks, false};
    if (std::find(round_.begin(), round_.end(), mac) == round_.end())
        round_.push_back(mac);
}

bool ChangeResults::Confirmed(const std::string& mac, const std::string& now) {
    const auto it = byMac_.find(mac);
    if (it == byMac_.end() || it->second.state == ChangeState::Confirmed)
        return false;
    it->second.state = ChangeState::Confirmed;
    it->second.answeredAt = now;
    return true;
}

bool ChangeResults::InvalidReply(const std::string& mac, const std::string& now) {
    const auto it = byMac_.find(mac);
    if (it == byMac_.end() || it->second.state != ChangeState::Sent)
        return false;
    it->second.invalidReply = true;
    it->second.answeredAt = now;
    return true;
}

std::vector<std::string> ChangeResults::Tick() {
    std::vector<std::string> ended;
    for (auto& [mac, result] : byMac_) {
        if (result.state != ChangeState::Sent || --result.ticksLeft > 0)
            continue;
        result.state = result.invalidReply ? ChangeState::UnclearAnswer : ChangeState::NoAnswer;
        ended.push_back(mac);
    }
    return ended;
}

const ChangeResult* ChangeResults::Find(const std::string& mac) const {
    const auto it = byMac_.find(mac);
    return it == byMac_.end() ? nullptr : &it->second;
}

bool ChangeResults::Waiting(const std::string& mac) const {
    const ChangeResult* result = Find(mac);
    return result && result->state == ChangeState::Sent;
}

bool ChangeResults::Unconfirmed(const std::string& mac) const {
    const ChangeResult* result = Find(mac);
    return result && IsUnconfirmed(*result);
}

bool ChangeResults::AnyUnconfirmed() const {
    return std::any_of(byMac_.begin(), byMac_.end(),
                       [](const auto& entry) { return IsUnconfirmed(entry.second); });
}

std::string ChangeResults::RoundText() const {
    if (round_.empty())
        return {};
    std::array<int, 4> counts{};
    for (const std::string& mac : round_)
        if (const ChangeResult* result = Find(mac))
            ++counts[static_cast<std::size_t>(result->state)];
    std::string text = "Apply: " + std::to_string(round_.size()) + " sent";
    for (const ChangeState state :
         {ChangeState::Confirmed, ChangeState::NoAnswer, ChangeState::UnclearAnswer})
        if (const int n = counts[static_cast<std::size_t>(state)])
            text += " \u00b7 " + std::to_string(n) + " " + StateWord(state);
    return text;
}

std::string TimeText(TimeOfDay time) {
    std::string text;
    for (const int part : {time.hour, time.minute, time.second})
        text +=
            (text.empty() ? "" : ":") + std::string(part < 10 ? "0" : "") + std::to_string(part);
    return text;
}

const char* StateWord(ChangeState state) {
    switch (state) {
    case ChangeState::Sent:
        return "sent";
    case ChangeState::Confirmed:
        return "confirmed";
    case ChangeState::NoAnswer:
        return "no answer";
    case ChangeState::UnclearAnswer:
        return "unclear answer";
    }
    return "";
}

std::string ResultText(const ChangeResult& result) {
    std::string text = "Change sent " + result.sentAt + " \u2014 ";
    switch (result.state) {
    case ChangeState::Sent:
        return text + "waiting for the answer";
    case ChangeState::Confirmed:
    case ChangeState::UnclearAnswer:
        return text + StateWord(result.state) + " " + result.answeredAt;
    case ChangeState::NoAnswer:
        break;
    }
    return text + StateWord(result.state);
}

} // namespace tarnwick
