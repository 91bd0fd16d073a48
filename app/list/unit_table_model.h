// The unit table as a Qt model: one row per unit, sixteen columns, check box in the first.
#pragma once

#include "runtime/console_runtime.h"

#include <QAbstractTableModel>
#include <QFont>

namespace tarnwick {

class UnitTableModel : public QAbstractTableModel, private UnitTableListener {
    Q_OBJECT
public:
    // The first column's word for the unit's last change request: "sent", "confirmed", ...
    static constexpr int ResultRole = Qt::UserRole + 1;

    // Shows the session's unit table; a user's click on a check box goes back to the session.
    explicit UnitTableModel(ConsoleRuntime& runtime, QObject* parent = nullptr);
    ~UnitTableModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    void SetFont(const QFont& font);
    // The unit's change result moved on: its mark and tooltip.
    void ResultChanged(int row);
    // Rows appended from now on wait for ShowNewRows, which announces them as one insertion:
    // a view lays itself out once per batch of replies, not once per unit.
    void HoldNewRows() { holding_ = true; }
    void ShowNewRows();

signals:
    // Only a user's click on a row's check box; replies never raise it.
    void CheckBoxToggled(int row, bool checked);

private:
    QVariant Description(int row) const;
    void RowsAppended(int firstRow, int lastRow) override;
    void CellsChanged(int row, int firstColumn, int lastColumn) override;
    void RowsAboutToBeCleared() override;
    void RowsCleared() override;

    const UnitTable& Table() const { return runtime_.State().units; }

    ConsoleRuntime& runtime_;
    // The rows the views know of; the table may be ahead while new rows are held.
    int shownRows_ = 0;
    bool holding_ = false;
    QFont font_;
    QFont boldFont_;
};

} // namespace tarnwick
