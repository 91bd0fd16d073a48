// The one store of unit data: the rows of the unit list.
#pragma once

#include "console/table/list_columns.h"
#include "console/table/mac_index.h"
#include "console/table/stable_rows.h"
#include "protocol/constants.h"

#include <cstdint>

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// A cell's fore colour as a COLORREF value (0x00BBGGRR).
using Colour = std::uint32_t;
inline constexpr Colour ColourBlack = 0x000000;
inline constexpr Colour ColourRed = 0x0000FF;

struct Cell {
    std::string text;
    Colour colour = ColourBlack;
    bool bold = false;
    bool operator==(const Cell&) const = default;
};

// A cell in red holds a change its unit has not confirmed yet: the one mark of a pending edit.
inline bool IsPending(const Cell& cell) {
    return cell.colour == ColourRed;
}

// A row's identity: never given to another unit, not even after the list is cleared.
using UnitId = std::uint64_t;

struct UnitRow {
    UnitId id = 0;
    bool checked = false;                                   // the "Use DHCP" check box
    std::array<Cell, ListViewFieldNumberColumnCount> cells; // cells[0] is the row item
    std::string version; // the VersionText of the reply that added the row
    // What the unit last reported, to restore when pending edits are discarded. A black cell
    // shows the unit's own text, so only cells holding an edit keep it here, made on the first.
    bool reportedChecked = false;
    std::unique_ptr<std::array<std::string, ListViewFieldNumberColumnCount>> reportedBehindEdits;
};

// Told of every change so that a view can follow the table.
class UnitTableListener {
public:
    virtual ~UnitTableListener() = default;
    virtual void RowsAppended(int firstRow, int lastRow) = 0;
    virtual void CellsChanged(int row, int firstColumn, int lastColumn) = 0;
    virtual void RowsAboutToBeCleared() {}
    virtual void RowsCleared() = 0;
};

class UnitTable {
public:
    int UnitCount() const { return static_cast<int>(rows_.Size()); }
    bool HasRow(int row) const { return row >= 1 && row <= UnitCount(); }
    // Stays valid while rows are appended, until Clear.
    const UnitRow& Row(int row) const { return rows_[static_cast<std::size_t>(row - 1)]; }
    const Cell& CellAt(int row, int column) const {
        return Row(row).cells[static_cast<std::size_t>(column - 1)];
    }
    // One version text per row, in row order.
    std::vector<std::string> UnitVersions() const;

    // The row of `unit` now; 0 when it has left the list.
    int RowOfUnit(UnitId unit) const {
        return unit >= firstId_ && unit - firstId_ < rows_.Size()
                   ? static_cast<int>(unit - firstId_) + 1
                   : 0;
    }

    // First row in list order whose MAC Address cell is exactly `mac`; 0 when none.
    int FindRowByMAC(std::string_view mac) const;

    // A new last row: "Use DHCP" text, empty cells, black. Returns its number.
    int AppendRow(std::string version);
    void SetText(int row, int column, std::string_view text);
    void SetColour(int row, int column, Colour colour);
    void SetBold(int row, int column, bool bold);
    void SetChecked(int row, bool checked);
    // The unit's own value of a cell: shown in a black cell, kept behind a pending edit.
    void SetReportedText(int row, int column, std::string_view text);
    void SetReportedChecked(int row, bool checked);
    std::string_view ReportedText(int row, int column) const;
    void Clear();

    // Batches the listener calls of one reply into one notice per row.
    void BeginRowUpdate(int row);
    void EndRowUpdate();

    void SetListener(UnitTableListener* listener) { listener_ = listener; }

    // True when the MAC index agrees with the rows.
    bool CheckInvariants() const;

private:
    UnitRow& MutableRow(int row) { return rows_[static_cast<std::size_t>(row - 1)]; }
    void Changed(int row, int column);
    // How the MAC index reads a row's text.
    struct MacReader {
        const UnitTable* table;
        std::string_view operator()(int row) const {
            return table->CellAt(row, ColumnMACAddress).text;
        }
    };
    MacReader Macs() const { return {this}; }

    // Rows per chunk: a chunk stays below the allocator's direct-mapping threshold.
    static constexpr std::size_t RowsPerChunk = 64;
    StableRows<UnitRow, RowsPerChunk> rows_;
    MacIndex macIndex_;
    UnitTableListener* listener_ = nullptr;
    // Rows are only appended or all cleared, so ids run on from the first row's.
    UnitId firstId_ = 1;
    UnitId nextId_ = 1;
    int batchRow_ = 0;
    int batchFirst_ = 0;
    int batchLast_ = 0;
};

} // namespace tarnwick
