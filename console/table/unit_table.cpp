#include "console/table/unit_table.h"

#include <algorithm>

namespace tarnwick {

std::vector<std::string> UnitTable::UnitVersions() const {
    std::vector<std::string> versions;
    versions.reserve(rows_.Size());
    for (std::size_t i = 0; i < rows_.Size(); ++i)
        versions.push_back(rows_[i].version);
    return versions;
}

int UnitTable::FindRowByMAC(std::string_view mac) const {
    return macIndex_.Find(mac, Macs());
}

int UnitTable::AppendRow(std::string version) {
    const int number = UnitCount() + 1;
    UnitRow& row = rows_.Append();
    row.id = nextId_++;
    row.cells[0].text = UseDHCPRowText;
    row.version = std::move(version);
    macIndex_.Add({}, number, Macs());
    if (listener_)
        listener_->RowsAppended(number, number);
    return number;
}

void UnitTable::SetText(int row, int column, std::string_view text) {
    Cell& cell = MutableRow(row).cells[static_cast<std::size_t>(column - 1)];
    if (cell.text == text)
        return;
    if (column == ColumnMACAddress) {
        macIndex_.Remove(cell.text, row, Macs());
        macIndex_.Add(text, row, Macs());
    }
    cell.text.assign(text);
    Changed(row, column);
}

void UnitTable::SetColour(int row, int column, Colour colour) {
    UnitRow& unit = MutableRow(row);
    Cell& cell = unit.cells[static_cast<std::size_t>(column - 1)];
    if (cell.colour != colour) {
        // An edit begins: what the cell showed is the unit's value, kept for Cancel All. The
        // check box keeps the unit's value in reportedChecked.
        if (!IsPending(cell) && column != ColumnUseDHCP) {
            if (!unit.reportedBehindEdits)
                unit.reportedBehindEdits =
                    std::make_unique<std::array<std::string, ListViewFieldNumberColumnCount>>();
            (*unit.reportedBehindEdits)[static_cast<std::size_t>(column - 1)] = cell.text;
        }
        cell.colour = colour;
        Changed(row, column);
    }
}

void UnitTable::SetBold(int row, int column, bool bold) {
    Cell& cell = MutableRow(row).cells[static_cast<std::size_t>(column - 1)];
    if (cell.bold != bold) {
        cell.bold = bold;
        Changed(row, column);
    }
}

void UnitTable::SetChecked(int row, bool checked) {
    UnitRow& unit = MutableRow(row);
    if (unit.checked != checked) {
        unit.checked = checked;
        Changed(row, ColumnUseDHCP);
    }
}

void UnitTable::SetReportedText(int row, int column, std::string_view text) {
    UnitRow& unit = MutableRow(row);
    if (!IsPending(unit.cells[static_cast<std::size_t>(column - 1)])) {
        SetText(row, column, text);
        return;
    }
    // Known units report the same texts sweep after sweep: comparing is cheaper than copying.
    std::string& reported = (*unit.reportedBehindEdits)[static_cast<std::size_t>(column - 1)];
    if (reported != text)
        reported.assign(text);
}

void UnitTable::SetReportedChecked(int row, bool checked) {
    UnitRow& unit = MutableRow(row);
    unit.reportedChecked = checked;
    if (!IsPending(unit.cells[ColumnUseDHCP - 1]))
        SetChecked(row, checked);
}

std::string_view UnitTable::ReportedText(int row, int column) const {
    const UnitRow& unit = Row(row);
    const Cell& cell = unit.cells[static_cast<std::size_t>(column - 1)];
    if (!IsPending(cell))
        return cell.text;
    return (*unit.reportedBehindEdits)[static_cast<std::size_t>(column - 1)];
}

void UnitTable::Clear() {
    if (listener_)
        listener_->RowsAboutToBeCleared();
    rows_.Clear();
    macIndex_.Clear();
    firstId_ = nextId_;
    batchRow_ = 0;
    if (listener_)
        listener_->RowsCleared();
}

void UnitTable::BeginRowUpdate(int row) {
    batchRow_ = row;
    batchFirst_ = 0;
    batchLast_ = 0;
}

void UnitTable::EndRowUpdate() {
    const int row = batchRow_;
    batchRow_ = 0;
    if (listener_ && batchFirst_ != 0)
        listener_->CellsChanged(row, batchFirst_, batchLast_);
}

void UnitTable::Changed(int row, int column) {
    if (!listener_)
        return;
    if (row != batchRow_) {
        listener_->CellsChanged(row, column, column);
        return;
    }
    batchFirst_ = batchFirst_ == 0 ? column : std::min(batchFirst_, column);
    batchLast_ = std::max(batchLast_, column);
}

bool UnitTable::CheckInvariants() const {
    return macIndex_.Check(UnitCount(), Macs());
}

} // namespace tarnwick
