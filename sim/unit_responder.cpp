#include "sim/unit_responder.h"

#include "protocol/constants.h"
#include "protocol/datagram.h"
#include "sim/json_line.h"

#include <algorithm>
#include <array>

namespace kvqsim {
namespace {

using namespace tarnwick;

// The console's list shows one field per column, in this order: Use DHCP, Vendor, Application,
// Software, Hardware, Unit ID, Serial Number, IP, Saved IP, Subnet Mask, Gateway, DNS, Host Name,
// MAC, DIP Switch, Device Information. Written down here from the protocol's rules, never taken
// from the console, so a wrong table there cannot hide behind the same table here.
constexpr std::array<int, 16> FieldOfListColumn = {10, 1, 2, 3,  4,  15, 5,  6,
                                                   7,  8, 9, 11, 12, 13, 14, 16};

// Select and unselect requests carry, as their field n, the value of list column n + 1.
int SelectMapField(int n) {
    return n >= 1 && n < static_cast<int>(FieldOfListColumn.size())
               ? FieldOfListColumn[static_cast<std::size_t>(n)]
               : 0;
}

std::string ItemsJson(const std::vector<std::pair<int, std::string>>& items) {
    std::string out = "[";
    for (const auto& [field, value] : items) {
        if (out.size() > 1)
            out += ",";
        out += JsonLine().Add("field", field).Add("value", value).Text();
    }
    return out + "]";
}

std::string Build(std::uint8_t bits, std::uint8_t function, std::uint8_t cls,
                  const std::string& data) {
    return BuildDatagram(bits, function, cls, data).value_or(std::string());
}

} // namespace

const std::vector<std::string>& MalformedKinds() {
    static const std::vector<std::string> kinds = {
        "short",          "truncated",        "command-bits",    "other-command-bits",
        "function-code",  "ignored-function", "message-class",   "version",
        "change-version", "short-version",    "bad-hex",         "no-colon",
        "no-nul",         "field-range",      "ends-after-masks"};
    return kinds;
}

UnitResponder::UnitResponder(std::vector<SimUnit> units, ResponderOptions options)
    : units_(std::move(units)), options_(std::move(options)) {}

std::string UnitResponder::Reply(int unit, int functionCode, int messageClass,
                                 int lastField) const {
    std::string data = BeginDataPart(options_.version, 0xFFFF, 0);
    for (int f = 1; f <= lastField; ++f)
        AppendFieldItem(data, f,
                        units_[static_cast<std::size_t>(unit)].field[static_cast<std::size_t>(f)]);
    return Build(CommandBitsSetup, static_cast<std::uint8_t>(functionCode),
                 static_cast<std::uint8_t>(messageClass), data);
}

std::string UnitResponder::IdentificationReply(int unit) const {
    return Reply(unit, FunctionCodeIdentification, MessageClassIdentificationReply, HighestField);
}

std::string UnitResponder::ChangeReply(int unit) const {
    return Reply(unit, FunctionCodeChangeSettings, MessageClassChangeReply, FieldNumberLastSetting);
}

std::string UnitResponder::FieldsJson(int unit, int first, int last) const {
    JsonLine fields;
    for (int f = first; f <= last; ++f)
        fields.Add(std::to_string(f),
                   units_[static_cast<std::size_t>(unit)].field[static_cast<std::size_t>(f)]);
    return fields.Text();
}

std::string UnitResponder::MalformedDatagram(const std::string& kind) const {
    // Values a unit would never report, so a row that takes one shows it.
    const std::string mac = units_.empty() ? "00:1B:2C:00:00:00" : units_[0].field[13];
    auto item = [](const std::string& field, const std::string& value) {
        return field + ":" + value + std::string(1, '\0');
    };
    const std::string head = std::string("001") + '\0' + "04FFFF0000";
    const std::string good = head + item("0D", mac) + item("0C", "MALFORMED");
    if (kind == "short")
        return Build(CommandBitsSetup, 16, 5, good).substr(0, 10);
    if (kind == "truncated")
        return Build(CommandBitsSetup, 16, 5, good).substr(0, 30);
    if (kind == "command-bits")
        return Build(3, 16, 5, good);
    if (kind == "other-command-bits")
        return Build(CommandBitsOther2, 16, 5, good);
    if (kind == "function-code")
        return Build(CommandBitsSetup, 20, 5, good);
    if (kind == "ignored-function")
        return Build(CommandBitsSetup, 5, 5, good);
    if (kind == "message-class")
        return Build(CommandBitsSetup, 16, 7, good);
    if (kind == "version")
        return Build(CommandBitsSetup, 16, 5, "002" + good.substr(3));
    if (kind == "change-version")
        return Build(CommandBitsSetup, 19, 6, "002" + good.substr(3));
    if (kind == "short-version")
        return Build(CommandBitsSetup, 16, 5, "0");
    if (kind == "bad-hex")
        return Build(CommandBitsSetup, 16, 5,
                     std::string("001") + '\0' + "04FXFF0000" + item("0D", mac) +
                         item("0C", "MALFORMED"));
    if (kind == "no-colon")
        return Build(CommandBitsSetup, 16, 5, head + item("0D", mac) + "0CMALFORMED" + '\0');
    if (kind == "no-nul")
        return Build(CommandBitsSetup, 16, 5, head + "0C:MALFORMED" + '\0' + "0D:" + mac);
    if (kind == "field-range")
        return Build(CommandBitsSetup, 19, 6, head + item("0D", mac) + item("11", "MALFORMED"));
    if (kind == "ends-after-masks")
        return Build(CommandBitsSetup, 16, 5, head);
    return {};
}

std::vector<int> UnitResponder::Named(const Request& request, bool selectMap) const {
    std::vector<int> named;
    if (request.identificationItems.empty())
        return named; // an empty filter names no unit
    for (int u = 0; u < static_cast<int>(units_.size()); ++u) {
        bool all = true;
        for (const auto& [n, value] : request.identificationItems) {
            const int field = selectMap ? SelectMapField(n) : n;
            if (field < 1 || field > HighestField ||
                units_[static_cast<std::size_t>(u)].field[static_cast<std::size_t>(field)] !=
                    value) {
                all = false;
                break;
            }
        }
        if (all)
            named.push_back(u);
    }
    return named;
}

Response UnitResponder::Handle(std::string_view datagram, std::string_view sender, int senderPort) {
    Response response;
    std::string error;
    const auto request = DecodeRequest(datagram, error);
    if (!request) {
        if (!error.empty())
            response.events.push_back(JsonLine()
                                          .Add("event", "bad-request")
                                          .Add("from", sender)
                                          .Add("bytes", static_cast<int>(datagram.size()))
                                          .Add("error", error)
                                          .Text());
        return response;
    }
    response.events.push_back(JsonLine()
                                  .Add("event", "request")
                                  .Add("from", sender)
                                  .Add("fromPort", senderPort)
                                  .Add("function", request->functionCode)
                                  .Add("class", request->messageClass)
                                  .Add("version", request->version)
                                  .Add("filterMask", static_cast<int>(request->filterMask))
                                  .Add("changeMask", static_cast<int>(request->changeMask))
                                  .AddRaw("identification", ItemsJson(request->identificationItems))
                                  .AddRaw("changes", ItemsJson(request->changeItems))
                                  .Text());
    const int function = request->functionCode;
    if (function == FunctionCodeIdentification && request->messageClass == MessageClass4) {
        for (const auto& kind : options_.malformed)
            response.replies.push_back({MalformedDatagram(kind), -1, "malformed:" + kind});
        const int count = static_cast<int>(units_.size());
        const bool reversed = options_.reverseEveryOther && secondOfPair_;
        secondOfPair_ = !secondOfPair_;
        for (int i = 0; i < count; ++i) {
            const int u = reversed ? count - 1 - i : i;
            response.replies.push_back({IdentificationReply(u), u, "identification"});
        }
    } else if ((function == FunctionCodeSelectUnit || function == FunctionCodeUnselectUnit) &&
               request->messageClass == MessageClass6) {
        const bool select = function == FunctionCodeSelectUnit;
        for (const int u : Named(*request, true)) {
            auto& unit = units_[static_cast<std::size_t>(u)];
            if (unit.selected == select)
                continue;
            unit.selected = select;
            response.events.push_back(JsonLine()
                                          .Add("event", select ? "selected" : "unselected")
                                          .Add("unit", u)
                                          .Add("mac", unit.field[FieldNumberMACAddress])
                                          .Text());
        }
    } else if (function == FunctionCodeChangeSettings && request->messageClass == MessageClass1) {
        for (const int u : Named(*request, false)) {
            auto& unit = units_[static_cast<std::size_t>(u)];
            JsonLine changed;
            for (const auto& [field, value] : request->changeItems) {
                if (field >= 1 && field <= FieldNumberLastSetting) {
                    unit.field[static_cast<std::size_t>(field)] = value;
                    changed.Add(std::to_string(field), value);
                }
            }
            response.events.push_back(JsonLine()
                                          .Add("event", "changed")
                                          .Add("unit", u)
                                          .Add("mac", unit.field[FieldNumberMACAddress])
                                          .AddRaw("fields", changed.Text())
                                          .Text());
            if (options_.changeReplies &&
                std::find(options_.silentUnits.begin(), options_.silentUnits.end(), u) ==
                    options_.silentUnits.end())
                response.replies.push_back({ChangeReply(u), u, "change"});
        }
    }
    return response;
}

} // namespace kvqsim
