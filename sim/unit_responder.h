// What the emulated units do with one datagram: the replies they send and the events they log.
#pragma once

#include "sim/request_decoder.h"
#include "sim/sim_unit.h"

#include <string>
#include <string_view>
#include <vector>

namespace kvqsim {

struct ResponderOptions {
    std::string version = "001";  // the version text of every reply
    bool changeReplies = true;    // answer change requests
    std::vector<int> silentUnits; // these take change requests but never answer
    std::vector<std::string>
        malformed;                  // kinds sent before the replies to each identification request
    bool reverseEveryOther = false; // the 2nd, 4th, ... identification request: last unit first
};

struct Outgoing {
    std::string bytes;
    int unit = -1;    // -1 for a malformed datagram
    std::string kind; // "identification", "change" or "malformed:<kind>"
};

struct Response {
    std::vector<std::string> events; // JSON lines
    std::vector<Outgoing> replies;
};

// The malformed kinds, each one datagram that the console must report or drop.
const std::vector<std::string>& MalformedKinds();

class UnitResponder {
public:
    UnitResponder(std::vector<SimUnit> units, ResponderOptions options);

    Response Handle(std::string_view datagram, std::string_view sender, int senderPort);
    const std::vector<SimUnit>& Units() const { return units_; }

    std::string IdentificationReply(int unit) const;
    std::string ChangeReply(int unit) const;
    std::string MalformedDatagram(const std::string& kind) const;
    // {"1":"...",...} of a unit's fields from `first` to `last`.
    std::string FieldsJson(int unit, int first, int last) const;

private:
    std::vector<int> Named(const Request& request, bool selectMap) const;
    std::string Reply(int unit, int functionCode, int messageClass, int lastField) const;

    std::vector<SimUnit> units_;
    ResponderOptions options_;
    bool secondOfPair_ = false; // the next identification request is the 2nd, 4th, ...
};

} // namespace kvqsim
