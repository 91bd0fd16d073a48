#include "app/list/row_context_menu.h"

#include "app/list/latin1.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>

namespace tarnwick {

void OpenRowContextMenu(QWidget* parent, QPoint globalPosition, ConsoleRuntime& runtime, int row) {
    if (!runtime.State().units.HasRow(row))
        return;
    const UnitId unit = runtime.State().units.Row(row).id;
    // The row number may belong to another unit by the time an item is chosen.
    auto act = [&runtime, unit](auto action) {
        return [&runtime, unit, action] {
            if (const int now = runtime.State().units.RowOfUnit(unit))
                action(now);
        };
    };
    auto copy = [&runtime](int field) {
        return [&runtime, field](int now) {
            QGuiApplication::clipboard()->setText(
                Latin1(runtime.State().units.CellAt(now, ColumnOfField(field)).text));
        };
    };
    const bool marked = runtime.State().MarkedCells(row) != 0;

    auto* menu = new QMenu(parent);
    menu->setObjectName("RowContextMenu");
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction* resend = menu->addAction("Resend Changes");
    resend->setObjectName("mnuResendChanges");
    resend->setEnabled(marked && !runtime.State().Applying());
    QObject::connect(resend, &QAction::triggered, menu,
                     act([&runtime](int now) { runtime.Session()->ResendChanges(now); }));
    QAction* discard = menu->addAction("Discard Changes");
    discard->setObjectName("mnuDiscardChanges");
    discard->setEnabled(marked);
    QObject::connect(discard, &QAction::triggered, menu,
                     act([&runtime](int now) { runtime.Session()->DiscardChanges(now); }));
    menu->addSeparator();
    QObject::connect(menu->addAction("Copy MAC Address"), &QAction::triggered, menu,
                     act(copy(FieldNumberMACAddress)));
    QObject::connect(menu->addAction("Copy IP Address"), &QAction::triggered, menu,
                     act(copy(FieldNumberIPAddress)));
    menu->popup(globalPosition);
}

} // namespace tarnwick
