// Intake of one received datagram: what the window must do with it.
#pragma once

#include "protocol/message_report.h"
#include "protocol/reply_fields.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tarnwick {

struct Dropped {};

struct IdentificationReply {
    UnitReplyFields fields;
    std::string versionText;
    std::optional<std::int32_t> backupStatus; // the last field 18, when the reply had one
};

// A change reply resets the reply wait whether or not it decoded.
struct ChangeReply {
    bool valid = false;
    UnitReplyFields fields;
};

using IntakeOutcome = std::variant<Dropped, MessageReport, IdentificationReply, ChangeReply>;

// Pure: the same bytes, sender and local addresses always give the same outcome.
IntakeOutcome DecodeDatagram(std::string_view datagram, std::string_view senderAddress,
                             const std::vector<std::string>& localAddresses);
// The same outcome, written over `outcome`: a reply of the kind it already holds reuses its
// texts' storage, so a sweep of replies allocates next to nothing for decoding.
void DecodeDatagramInto(IntakeOutcome& outcome, std::string_view datagram,
                        std::string_view senderAddress,
                        const std::vector<std::string>& localAddresses);

} // namespace tarnwick
