#include "app/list/unit_table_model.h"

#include "app/list/latin1.h"
#include "app/window/toolbar_icons.h"
#include "console/table/list_columns.h"

#include <QColor>

namespace tarnwick {
namespace {

// COLORREF is 0x00BBGGRR.
QColor FromColorRef(Colour colour) {
    return {static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
            static_cast<int>((colour >> 16) & 0xFF)};
}

} // namespace

UnitTableModel::UnitTableModel(ConsoleRuntime& runtime, QObject* parent)
    : QAbstractTableModel(parent), runtime_(runtime) {
    runtime_.Session()->SetTableListener(this);
    shownRows_ = Table().UnitCount();
    SetFont(QFont());
}

UnitTableModel::~UnitTableModel() {
    runtime_.Session()->SetTableListener(nullptr);
}

void UnitTableModel::SetFont(const QFont& font) {
    font_ = font;
    boldFont_ = font;
    boldFont_.setBold(true);
}

int UnitTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shownRows_;
}

int UnitTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ListViewFieldNumberColumnCount;
}

QVariant UnitTableModel::data(const QModelIndex& index, int role) const {
    const int row = index.row() + 1;
    const int column = index.column() + 1;
    if (!index.isValid() || row > shownRows_ || !Table().HasRow(row))
        return {};
    const Cell& cell = Table().CellAt(row, column);
    const ChangeResult* result = column == ColumnUseDHCP ? runtime_.State().ResultOf(row) : nullptr;
    const bool addressColumn = column == ColumnIPAddress;
    switch (role) {
    case Qt::DisplayRole:
        return Latin1(cell.text);
    case Qt::ToolTipRole:
        if (const auto hint = addressColumn ? runtime_.State().ReachabilityHint(row) : std::nullopt)
            return QString::fromStdString(*hint);
        return result ? QString::fromStdString(ResultText(*result)) : Latin1(cell.text);
    case Qt::AccessibleDescriptionRole:
        return column == 1 ? Description(row) : QVariant();
    case Qt::DecorationRole:
        if (addressColumn && runtime_.State().ReachabilityHint(row))
            return UnreachableIcon();
        return result ? ChangeResultIcon(result->state) : QVariant();
    case ResultRole:
        return result ? QString(StateWord(result->state)) : QVariant();
    case Qt::ForegroundRole:
        // The normal look is the scheme's own text colour: black only on a light one.
        return cell.colour == ColourBlack ? QVariant() : FromColorRef(cell.colour);
    case Qt::FontRole:
        return cell.bold ? boldFont_ : font_;
    case Qt::CheckStateRole:
        if (column == ColumnUseDHCP)
            return Table().Row(row).checked ? Qt::Checked : Qt::Unchecked;
        return {};
    default:
        return {};
    }
}

QVariant UnitTableModel::Description(int row) const {
    // What the marks show, for those who hear the list rather than see it.
    QStringList said;
    if (const ChangeResult* result = runtime_.State().ResultOf(row))
        said << QString::fromStdString(ResultText(*result));
    if (const auto hint = runtime_.State().ReachabilityHint(row))
        said << QString::fromStdString(*hint);
    return said.isEmpty() ? QVariant() : said.join("; ");
}

QVariant UnitTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < ListViewFieldNumberColumnCount)
        return QString(ListColumnHeaders[static_cast<std::size_t>(section)]);
    return {};
}

Qt::ItemFlags UnitTableModel::flags(const QModelIndex& index) const {
    // The root is no item: a view asking it must not take it for one.
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == 0)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

bool UnitTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    // Only the view calls this, and only for a user's click on a check box; the session decides
    // and the table tells the view.
    const int row = index.row() + 1;
    if (role != Qt::CheckStateRole || index.column() != 0 || row > shownRows_ ||
        !Table().HasRow(row))
        return false;
    emit CheckBoxToggled(row, value.toInt() == Qt::Checked);
    return true;
}

void UnitTableModel::ResultChanged(int row) {
    if (row >= 1 && row <= rowCount())
        emit dataChanged(
            index(row - 1, 0), index(row - 1, 0),
            {Qt::DecorationRole, Qt::ToolTipRole, Qt::AccessibleDescriptionRole, ResultRole});
}

void UnitTableModel::ShowNewRows() {
    holding_ = false;
    const int rows = Table().UnitCount();
    if (rows <= shownRows_)
        return;
    beginInsertRows({}, shownRows_, rows - 1);
    shownRows_ = rows;
    endInsertRows();
}

void UnitTableModel::RowsAppended(int, int) {
    if (!holding_)
        ShowNewRows();
}

void UnitTableModel::CellsChanged(int row, int firstColumn, int lastColumn) {
    // A held row shows its cells as they are when it is announced.
    if (row <= shownRows_)
        emit dataChanged(index(row - 1, firstColumn - 1), index(row - 1, lastColumn - 1));
}

void UnitTableModel::RowsAboutToBeCleared() {
    beginResetModel();
}

void UnitTableModel::RowsCleared() {
    shownRows_ = 0;
    endResetModel();
}

} // namespace tarnwick
