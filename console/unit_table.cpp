#include "console/unit_table.h"

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
    const auto it = macIndex_.find(mac);
    return it == macIndex_.end() ? 0 : it->second.first;
}

int UnitTable::AppendRow(std::string version) {
    const int number = UnitCount() + 1;
    if (listener_)
        listener_->RowsAboutToBeAppended(number, number);
    UnitRow& row = rows_.Append();
    row.id = nextId_++;
    row.cells[0].text = UseDHCPRowText;
    row.version = std::move(version);
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
        IndexAdd(text, row);
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
    rows_.Clear();
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

void UnitTable::IndexAdd(std::string_view mac, int row) {
    auto it = macIndex_.find(mac);
    if (it == macIndex_.end())
        it = macIndex_.emplace(std::string(mac), MacHolders{}).first;
    MacHolders& holders = it->second;
    if (holders.first == 0) {
        holders.first = row;
        return;
    }
    if (row < holders.first)
        std::swap(row, holders.first);
    holders.more.insert(std::lower_bound(holders.more.begin(), holders.more.end(), row), row);
}

void UnitTable::IndexRemove(std::string_view mac, int row) {
    const auto it = macIndex_.find(mac);
    if (it == macIndex_.end())
        return;
    MacHolders& holders = it->second;
    if (holders.first == row) {
        holders.first = holders.more.empty() ? 0 : holders.more.front();
        if (!holders.more.empty())
            holders.more.erase(holders.more.begin());
    } else {
        const auto at = std::lower_bound(holders.more.begin(), holders.more.end(), row);
        if (at != holders.more.end() && *at == row)
            holders.more.erase(at);
    }
    if (holders.first == 0 && !mac.empty())
        macIndex_.erase(it);
}

bool UnitTable::CheckInvariants() const {
    std::size_t indexed = 0;
    for (const auto& [mac, holders] : macIndex_) {
        if (holders.first == 0) {
            // Only the empty MAC's entry may stay without rows.
            if (!mac.empty() || !holders.more.empty())
                return false;
            continue;
        }
        const auto holds = [&, &key = mac](int row) {
            return HasRow(row) && CellAt(row, ListViewFieldNumberMACAddressColumn).text == key;
        };
        if (!holds(holders.first))
            return false;
        int previous = holders.first;
        for (const int row : holders.more) {
            if (row <= previous || !holds(row))
                return false;
            previous = row;
        }
        indexed += 1 + holders.more.size();
    }
    return indexed == rows_.Size();
}

} // namespace tarnwick
