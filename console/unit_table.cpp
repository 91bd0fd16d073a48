#include "console/unit_table.h"

#include <algorithm>

namespace tarnwick {

std::vector<std::string> UnitTable::UnitVersions() const {
    std::vector<std::string> versions;
    versions.reserve(rows_.size());
    for (const auto& row : rows_)
        versions.push_back(row.version);
    return versions;
}

int UnitTable::FindRowByMAC(std::string_view mac) const {
    const auto it = macIndex_.find(mac);
    return it == macIndex_.end() || it->second.empty() ? 0 : it->second.front();
}

int UnitTable::AppendRow(std::string version) {
    const int number = UnitCount() + 1;
    if (listener_)
        listener_->RowsAboutToBeAppended(number, number);
    UnitRow row;
    row.id = nextId_++;
    row.cells[0].text = UseDHCPRowText;
    row.version = std::move(version);
    rows_.push_back(std::move(row));
    IndexAdd({}, number);
    if (listener_)
        listener_->RowsAppended(number, number);
    return number;
}

void UnitTable::SetText(int row, int column, std::string_view text) {
    Cell& cell = MutableRow(row).cells[static_cast<std::size_t>(column - 1)];
    if (cell.text == text)
        return;
    if (column == ListViewFieldNumberMACAddressColumn) {
        IndexRemove(cell.text, row);
        IndexAdd(std::string(text), row);
    }
    cell.text.assign(text);
    Changed(row, column);
}

void UnitTable::SetColour(int row, int column, Colour colour) {
    Cell& cell = MutableRow(row).cells[static_cast<std::size_t>(column - 1)];
    if (cell.colour != colour) {
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
        Changed(row, ListViewFieldNumberUseDHCPColumn);
    }
}

void UnitTable::SetReportedText(int row, int column, std::string_view text) {
    MutableRow(row).reportedText[static_cast<std::size_t>(column - 1)].assign(text);
}

void UnitTable::SetReportedChecked(int row, bool checked) {
    MutableRow(row).reportedChecked = checked;
}

void UnitTable::Clear() {
    if (listener_)
        listener_->RowsAboutToBeCleared();
    rows_.clear();
    macIndex_.clear();
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

void UnitTable::IndexAdd(const std::string& mac, int row) {
    auto& holders = macIndex_[mac];
    holders.insert(std::lower_bound(holders.begin(), holders.end(), row), row);
}

void UnitTable::IndexRemove(const std::string& mac, int row) {
    const auto it = macIndex_.find(mac);
    if (it == macIndex_.end())
        return;
    auto& holders = it->second;
    const auto at = std::lower_bound(holders.begin(), holders.end(), row);
    if (at != holders.end() && *at == row)
        holders.erase(at);
    if (holders.empty())
        macIndex_.erase(it);
}

bool UnitTable::CheckInvariants() const {
    std::size_t indexed = 0;
    for (const auto& [mac, holders] : macIndex_) {
        if (holders.empty() || !std::is_sorted(holders.begin(), holders.end()))
            return false;
        for (const int row : holders) {
            if (!HasRow(row) || CellAt(row, ListViewFieldNumberMACAddressColumn).text != mac)
                return false;
        }
        indexed += holders.size();
    }
    return indexed == rows_.size();
}

} // namespace tarnwick
