// The one cell editor of the unit list, and the requests it sends for the selected unit.
#pragma once

#include "protocol/message_report.h"
#include "protocol/unit_table.h"

#include <QLineEdit>
#include <QObject>
#include <QPointer>

#include <cstdint>
#include <string>

class QKeyEvent;
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
    // One more pending change: count it and offer Apply and Cancel All.
    virtual void CountPendingChange() = 0;
    virtual bool IsInternalMode() const = 0;
};

// The cell under edit: a row from 1 and a list column from 1.
struct EditCell {
    int row = 0;
    int column = 0;
};

class FieldEdit : public QObject {
    Q_OBJECT
public:
    FieldEdit(FieldEditHost& host, UnitTable& table);
    ~FieldEdit() override;

    // Binds the editor to the unit list and creates its edit box.
    void Init(QWidget* form, QTreeView* listView);

    // The selected unit's row (from 1), -1 for none.
    int SelectedUnitIndex = -1;
    // The field of the cell under edit.
    int CurrentFieldNumber = 0;
    EditCell CurrentCell;
    QPointer<QLineEdit> txtEdit;

    // Ends an edit: validates the text and marks the cell as a pending change.
    void SetText();
    bool IsEditing() const;
    // Hides the edit box without committing.
    void HideEditBox();
    // Puts the edit box back over its cell after the list has moved.
    void FollowCell();

    // Requests for the unit at SelectedUnitIndex; both do nothing without such a row.
    void SendMSGSelectUnit();
    void SendMSGUnselectUnit();
    // The change request for `row`, when it has pending edits.
    void SendChanges(int row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void StartEdit(int x, int y);
    void EditNextField();
    void PlaceEditor();
    bool IsEditable(int field, int row) const;
    void ShowMessage(const std::string& text);
    bool EditorKeyPress(QKeyEvent* key);
    void SendUnitRequest(std::uint8_t functionCode, const std::string& version, int row);
    void SetRowBold(int row, bool markedOnly);

    FieldEditHost& host_;
    UnitTable& table_;
    QPointer<QTreeView> ltvListView;
    QPointer<QWidget> listViewport_;
    bool committing_ = false;
    bool quiet_ = false; // no commit while the editor hides itself or a message shows
};

} // namespace tarnwick
