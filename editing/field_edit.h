// The one cell editor of the unit list, and the requests it sends for the selected unit.
#pragma once

#include "protocol/message_report.h"
#include "protocol/unit_table.h"

#include <QObject>
#include <QPointer>

#include <cstdint>
#include <string>

class QTreeView;
class QWidget;

namespace tarnwick {

// What the editor needs of the main window.
class FieldEditHost {
public:
    virtual ~FieldEditHost() = default;
    virtual void SendABroadcastMessage(const std::string& message) = 0;
    virtual void ShowMessage(const MessageReport& report) = 0;
    // The FilterMask bits of the filter menu's check marks.
    virtual std::uint16_t IdentificationFilterChecks() const = 0;
    // A change request went out: disable the list until the reply or the wait's end.
    virtual void StartReplyWait() = 0;
};

class FieldEdit : public QObject {
    Q_OBJECT
public:
    FieldEdit(FieldEditHost& host, UnitTable& table);

    void Init(QWidget* form, QTreeView* listView);

    // The selected unit's row (from 1), -1 for none.
    int SelectedUnitIndex = -1;
    // The field of the cell under edit.
    int CurrentFieldNumber = 0;

    // Requests for the unit at SelectedUnitIndex; both do nothing without such a row.
    void SendMSGSelectUnit();
    void SendMSGUnselectUnit();
    // The change request for `row`, when it has pending edits.
    void SendChanges(int row);

private:
    void SendUnitRequest(std::uint8_t functionCode, const std::string& version, int row);
    void SetRowBold(int row, bool markedOnly);

    FieldEditHost& host_;
    UnitTable& table_;
    QPointer<QTreeView> ltvListView;
};

} // namespace tarnwick
