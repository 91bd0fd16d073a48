// Arbitrary datagrams through intake and, when accepted, the list update.
#include "protocol/reply_intake.h"
#include "protocol/unit_list_update.h"

#include <cstdlib>
#include <string>

namespace {

using namespace tarnwick;

UnitTable SeededTable() {
    UnitTable table;
    for (const char* mac : {"00:11:22:33:44:01", "00:11:22:33:44:02", ""}) {
        UnitReplyFields fields;
        fields[12] = {FieldNumberMACAddress, mac};
        fields[11] = {FieldNumberHostName, "seed"};
        ApplyIdentificationReply(table, fields, "001");
    }
    table.SetColour(1, 9, ColourRed);
    return table;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::vector<std::string> local = {"192.168.7.5"};
    static UnitTable table = SeededTable();
    // The exact bytes, no more: a read past them is a sanitizer report.
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    auto outcome = TakeDatagram(bytes, "192.168.7.20", local);
    const int before = table.UnitCount();
    if (auto* id = std::get_if<IdentificationReply>(&outcome)) {
        ApplyIdentificationReply(table, id->fields, id->versionText);
        if (table.UnitCount() < before || table.UnitCount() > before + 1)
            std::abort();
    } else if (auto* change = std::get_if<ChangeReply>(&outcome); change && change->valid) {
        ApplyChangeReply(table, change->fields);
        if (table.UnitCount() != before)
            std::abort();
    }
    if (!table.CheckInvariants() ||
        table.UnitVersions().size() != static_cast<std::size_t>(table.UnitCount()))
        std::abort();
    if (table.UnitCount() > 5000)
        table = SeededTable();
    return 0;
}
