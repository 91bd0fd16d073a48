#include "cli/apply_report.h"

#include "cli/unit_listing.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace tarnwick::cli {

std::string ReportTable(const std::vector<PlannedUnit>& units) {
    std::vector<std::vector<std::string>> rows{{"MAC Address", "Result", "Changes"}};
    for (const PlannedUnit& unit : units) {
        std::string changes;
        for (const FieldChange& change : unit.changes)
            changes += (changes.empty() ? "" : ", ") + change.key + ": " + change.from + " -> " +
                       change.to;
        rows.push_back({unit.mac, unit.result, changes});
    }
    return AlignedTable(rows);
}

std::string ReportJson(const std::vector<PlannedUnit>& units, std::uint64_t lostReplies) {
    QJsonArray array;
    for (const PlannedUnit& unit : units) {
        QJsonObject changes;
        for (const FieldChange& change : unit.changes)
            changes[QString::fromStdString(change.key)] =
                QJsonObject{{"from", QString::fromStdString(change.from)},
                            {"to", QString::fromStdString(change.to)}};
        array.append(QJsonObject{{"mac_address", QString::fromStdString(unit.mac)},
                                 {"result", QString::fromStdString(unit.result)},
                                 {"changes", changes}});
    }
    const QJsonObject report{{"units", array}, {"lost_replies", static_cast<qint64>(lostReplies)}};
    return QJsonDocument(report).toJson(QJsonDocument::Indented).toStdString();
}

} // namespace tarnwick::cli
