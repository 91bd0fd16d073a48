// Replies into the unit table.
#pragma once

#include "console/table/unit_table.h"
#include "protocol/reply_fields.h"

#include <string_view>

namespace tarnwick {

// The row a reply belongs to: by its MAC address, the empty key included. 0 when none.
int MatchRow(const UnitTable& table, const UnitReplyFields& fields);

// New units get a row; known rows refresh every cell the user is not editing.
void ApplyIdentificationReply(UnitTable& table, const UnitReplyFields& fields,
                              std::string_view versionText);

// The unit confirms its settings: every carried cell turns black and plain.
void ApplyChangeReply(UnitTable& table, const UnitReplyFields& fields);

} // namespace tarnwick
