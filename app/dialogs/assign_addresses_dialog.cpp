#include "app/dialogs/assign_addresses_dialog.h"

#include "app/list/latin1.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tarnwick {
namespace {

QLineEdit* AddressField(QWidget* parent, const char* name, const QString& accessibleName) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setAccessibleName(accessibleName);
    field->setMaxLength(15);
    return field;
}

std::string Typed(const QLineEdit* field) {
    return field->text().trimmed().toLatin1().toStdString();
}

} // namespace

AssignAddressesDialog::AssignAddressesDialog(ConsoleRuntime& runtime, QWidget* parent)
    : QDialog(parent), runtime_(runtime) {
    setObjectName("AssignAddressesDialog");
    setWindowTitle("Assign Addresses");
    txtStartAddress = AddressField(this, "txtStartAddress", "Start address");
    txtSubnetMask = AddressField(this, "txtSubnetMask", "Subnet mask");
    txtDefaultGateway = AddressField(this, "txtDefaultGateway", "Default gateway (optional)");
    txtDNSServer = AddressField(this, "txtDNSServer", "DNS server (optional)");
    // The mask the units already have is the likely one.
    const int first = std::max(runtime_.State().SelectedUnitIndex(), 1);
    const std::string mask = runtime_.State().units.HasRow(first)
                                 ? runtime_.State().units.CellAt(first, ColumnSubnetMask).text
                                 : std::string();
    txtSubnetMask->setText(mask.empty() ? QString("255.255.255.0") : Latin1(mask));
    optFromSelected = new QRadioButton("From the &selected unit to the end of the list", this);
    optFromSelected->setObjectName("optFromSelected");
    optAllUnits = new QRadioButton("&All units", this);
    optAllUnits->setObjectName("optAllUnits");
    const int selectedRow = runtime_.State().SelectedUnitIndex();
    fromUnit_ = selectedRow > 0 ? runtime_.State().units.Row(selectedRow).id : 0;
    const bool selected = fromUnit_ != 0;
    optFromSelected->setEnabled(selected);
    (selected ? optFromSelected : optAllUnits)->setChecked(true);

    tblPreview = new QTableWidget(0, 3, this);
    tblPreview->setObjectName("tblPreview");
    tblPreview->setAccessibleName("Preview");
    tblPreview->setHorizontalHeaderLabels({"MAC Address", "IP Address", "New Saved IP Address"});
    tblPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblPreview->setSelectionMode(QAbstractItemView::NoSelection);
    tblPreview->verticalHeader()->hide();
    tblPreview->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    lblProblem = new QLabel(this);
    lblProblem->setObjectName("lblProblem");
    lblProblem->setTextFormat(Qt::PlainText);
    lblProblem->setWordWrap(true);

    auto* form = new QFormLayout;
    form->addRow("&Start address:", txtStartAddress);
    form->addRow("Subnet &mask:", txtSubnetMask);
    form->addRow("&Gateway (optional):", txtDefaultGateway);
    form->addRow("&DNS server (optional):", txtDNSServer);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttonOK = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(optFromSelected);
    layout->addWidget(optAllUnits);
    layout->addWidget(tblPreview, 1);
    layout->addWidget(lblProblem);
    layout->addWidget(buttons);

    for (QLineEdit* field : {txtStartAddress, txtSubnetMask, txtDefaultGateway, txtDNSServer})
        connect(field, &QLineEdit::textChanged, this, &AssignAddressesDialog::UpdatePreview);
    connect(optAllUnits, &QRadioButton::toggled, this, &AssignAddressesDialog::UpdatePreview);
    resize(520, 420);
    UpdatePreview();
}

AddressAssignment AssignAddressesDialog::Assignment() const {
    const int from = optFromSelected->isChecked() ? runtime_.State().units.RowOfUnit(fromUnit_) : 0;
    return {Typed(txtStartAddress), Typed(txtSubnetMask), Typed(txtDefaultGateway),
            Typed(txtDNSServer), std::max(from, 1)};
}

void AssignAddressesDialog::UpdatePreview() {
    const AddressSequence preview = txtStartAddress->text().trimmed().isEmpty()
                                        ? AddressSequence{{}, "Type the first address to assign."}
                                        : PreviewAddresses(runtime_.State(), Assignment());
    shown_ = preview.units;
    tblPreview->setRowCount(static_cast<int>(preview.units.size()));
    int row = 0;
    for (const AssignedAddress& unit : preview.units) {
        int column = 0;
        for (const std::string* text : {&unit.mac, &unit.currentIp, &unit.savedIp})
            tblPreview->setItem(row, column++, new QTableWidgetItem(Latin1(*text)));
        ++row;
    }
    lblProblem->setText(QString::fromStdString(preview.problem));
    buttonOK->setEnabled(preview.problem.empty() && !preview.units.empty());
}

void AssignAddressesDialog::accept() {
    // Units may have come or gone since the preview: OK assigns only what was shown.
    if (PreviewAddresses(runtime_.State(), Assignment()).units != shown_) {
        UpdatePreview();
        lblProblem->setText("The list has changed: look at the preview again.");
        return;
    }
    const AddressSequence done = runtime_.Session()->AssignAddresses(Assignment());
    if (!done.problem.empty()) {
        lblProblem->setText(QString::fromStdString(done.problem));
        return;
    }
    QDialog::accept();
}

} // namespace tarnwick
