#include "app/row_context_menu.h"

#include "app/latin1.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>

namespace tarnwick {

void OpenRowContextMenu(QWidget* parent, QPoint globalPosition, ConsoleSession& session, int row) {
    if (!session.Units().HasRow(row))
        return;
    const UnitId unit = session.Units().Row(row).id;
    // The row number may belong to another unit by the time an item is chosen.
    auto act = [&session, unit](auto action) {
        return [&session, unit, action] {
            if (const int now = session.Units().RowOfUnit(unit))
                action(now);
        };
    };
    auto copy = [&session](int field) {
        return [&session, field](int now) {
            QGuiApplication::clipboard()->setText(
                Latin1(session.Units().CellAt(now, ColumnOfField(field)).text));
        };
    };
    const bool marked = session.MarkedCells(row) != 0;

    auto* menu = new QMenu(parent);
    menu->setObjectName("RowContextMenu");
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction* resend = menu->addAction("Resend Changes");
    resend->setObjectName("mnuResendChanges");
    resend->setEnabled(marked && !session.Applying());
    QObject::connect(resend, &QAction::triggered, menu,
                     act([&session](int now) { session.ResendChanges(now); }));
    QAction* discard = menu->addAction("Discard Changes");
    discard->setObjectName("mnuDiscardChanges");
    discard->setEnabled(marked);
    QObject::connect(discard, &QAction::triggered, menu,
                     act([&session](int now) { session.DiscardChanges(now); }));
    menu->addSeparator();
    QObject::connect(menu->addAction("Copy MAC Address"), &QAction::triggered, menu,
                     act(copy(FieldNumberMACAddress)));
    QObject::connect(menu->addAction("Copy IP Address"), &QAction::triggered, menu,
                     act(copy(FieldNumberIPAddress)));
    menu->popup(globalPosition);
}

} // namespace tarnwick
