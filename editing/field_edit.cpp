#include "editing/field_edit.h"

#include <QTreeView>

namespace tarnwick {

FieldEdit::FieldEdit(FieldEditHost& host, UnitTable& table) : host_(host), table_(table) {}

void FieldEdit::Init(QWidget* /*form*/, QTreeView* listView) {
    ltvListView = listView;
    SelectedUnitIndex = -1;
}

} // namespace tarnwick
