// FieldEdit, the view side of the one cell editor: lays the edit box over a cell of the unit
// list, takes its keys and focus, and commits before the list scrolls. The session decides.
#pragma once

#include "runtime/console_runtime.h"

#include <QLineEdit>
#include <QObject>
#include <QPointer>
#include <QTreeView>

class QKeyEvent;

namespace tarnwick {

class FieldTextValidator;

class FieldEdit : public QObject {
    Q_OBJECT
public:
    FieldEdit(ConsoleRuntime& runtime, QTreeView* listView);
    ~FieldEdit() override;

    bool IsEditing() const;
    // Hides the edit box without committing.
    void Hide();
    // Back to the edit box after a refused text's message has closed.
    void Refocus();
    // F2 or Enter on a cell: the editor opens where a click on the cell would open it.
    void StartEditAt(int row, int column);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static bool OnCheckBox(const QTreeView& list, QPoint at);
    void StartEdit(QPoint at);
    void Show(const EditPlacement& placement);
    void PlaceOverCell();
    void FollowPalette();
    void SetText();
    void EditNextField();
    bool KeyPress(QKeyEvent* key);

    ConsoleRuntime& runtime_;
    QPointer<QTreeView> ltvListView;
    QPointer<QWidget> viewport_;
    QPointer<QLineEdit> txtEdit;
    FieldTextValidator* validator_ = nullptr; // the box's
    QRect placed_;
    bool committing_ = false;
    bool quiet_ = false; // no commit while the editor hides itself
};

} // namespace tarnwick
