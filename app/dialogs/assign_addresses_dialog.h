// Assign Addresses: a start address and mask for a run of units, previewed before any edit.
#pragma once

#include "runtime/console_runtime.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QRadioButton;
class QTableWidget;
class QPushButton;

namespace tarnwick {

class AssignAddressesDialog : public QDialog {
    Q_OBJECT
public:
    AssignAddressesDialog(ConsoleRuntime& runtime, QWidget* parent);

    void accept() override;

private:
    AddressAssignment Assignment() const;
    void UpdatePreview();

    ConsoleRuntime& runtime_;
    // The unit selected when the dialog opened: the selection may move on meanwhile.
    UnitId fromUnit_ = 0;
    // What the user has seen and would approve with OK.
    std::vector<AssignedAddress> shown_;
    QLineEdit* txtStartAddress;
    QLineEdit* txtSubnetMask;
    QLineEdit* txtDefaultGateway;
    QLineEdit* txtDNSServer;
    QRadioButton* optFromSelected;
    QRadioButton* optAllUnits;
    QTableWidget* tblPreview;
    QLabel* lblProblem;
    QPushButton* buttonOK;
};

} // namespace tarnwick
