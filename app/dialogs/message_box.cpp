#include "app/dialogs/message_box.h"

#include "app/dialogs/about_box.h"
#include "app/list/latin1.h"

#include <QMessageBox>
#include <QPushButton>

namespace tarnwick {
namespace {

QMessageBox::Icon BoxIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::Information:
        break;
    }
    return QMessageBox::Information;
}

QString Text(const MessageReport& report, const std::string& text) {
    QString shown =
        report.encoding == TextEncoding::Utf8 ? QString::fromStdString(text) : Latin1(text);
    return shown.replace("\r\n", "\n");
}

} // namespace

void OpenMessageBox(QWidget* parent, const MessageReport& report, std::function<void()> closed) {
    // A box without a title of its own carries the application's.
    const QString title =
        report.title.empty() ? QString(ApplicationTitle) : Text(report, report.title);
    auto* box = new QMessageBox(BoxIcon(report.icon), title, Text(report, report.text),
                                QMessageBox::Ok, parent);
    box->setObjectName("MessageBox");
    // Texts from the wire are never markup.
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    if (closed)
        QObject::connect(box, &QMessageBox::finished, box,
                         [closed = std::move(closed)] { closed(); });
    box->open();
}

void OpenCheckAddressesBox(QWidget* parent, const std::vector<std::string>& problems,
                           std::function<void()> applyAnyway) {
    QString text = "The addresses Apply would set have problems:\n";
    for (const std::string& problem : problems)
        text += "\n\u2022 " + QString::fromStdString(problem);
    auto* box = new QMessageBox(QMessageBox::Warning, "Check Addresses", text,
                                QMessageBox::NoButton, parent);
    box->setObjectName("CheckAddressesBox");
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton* anyway = box->addButton("Apply Anyway", QMessageBox::AcceptRole);
    QPushButton* cancel = box->addButton("Cancel", QMessageBox::RejectRole);
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    QObject::connect(box, &QMessageBox::finished, box,
                     [box, anyway, applyAnyway = std::move(applyAnyway)] {
                         if (box->clickedButton() == anyway)
                             applyAnyway();
                     });
    box->open();
}

} // namespace tarnwick
