// Assign Addresses: a start address and mask for a run of units, previewed before any edit.
#pragma once

#include "console/console_session.h"

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
    AssignAddressesDialog(ConsoleSession& session, QWidget* parent);

    void accept() override;

private:
    AddressAssignment Assignment() const;
    void UpdatePreview();

    ConsoleSession& session_;
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
