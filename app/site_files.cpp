#include "app/site_files.h"

#include "app/message_box.h"

#include <QFile>
#include <QFileDialog>
#include <QSaveFile>

namespace tarnwick {
namespace {

constexpr char CsvFilter[] = "CSV files (*.csv);;All files (*)";
// A plan is a few hundred lines; anything far larger is not one.
constexpr qint64 LargestPlan = qint64{64} * 1024 * 1024;

void Tell(QWidget* parent, MessageIcon icon, const char* title, const QString& text) {
    OpenMessageBox(parent, {icon, title, text.toStdString(), TextEncoding::Utf8}, {});
}

template <class Chosen>
void ChooseFile(QWidget* parent, const char* caption, QFileDialog::AcceptMode mode, Chosen chosen) {
    auto* dialog = new QFileDialog(parent, caption, QString(), CsvFilter);
    dialog->setObjectName(mode == QFileDialog::AcceptSave ? "ExportListDialog"
                                                          : "ImportPlanDialog");
    dialog->setAcceptMode(mode);
    dialog->setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                        : QFileDialog::ExistingFile);
    dialog->setDefaultSuffix("csv");
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QFileDialog::fileSelected, parent, chosen);
    dialog->open();
}

void ImportFile(QWidget* parent, ConsoleSession& session, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Tell(parent, MessageIcon::Critical, "Import Plan",
             QString("Could not read %1: %2").arg(path, file.errorString()));
        return;
    }
    if (file.size() > LargestPlan) {
        Tell(parent, MessageIcon::Critical, "Import Plan",
             QString("%1 is too large to be a plan.").arg(path));
        return;
    }
    const QByteArray bytes = file.readAll();
    const ImportResult result =
        session.ImportPlan(std::string_view(bytes.data(), static_cast<std::size_t>(bytes.size())));
    if (!result.problems.empty()) {
        QString text = "Nothing was imported:";
        for (const std::string& problem : result.problems)
            text += "\n" + QString::fromStdString(problem);
        Tell(parent, MessageIcon::Exclamation, "Import Plan", text);
        return;
    }
    if (!result.unknownMacs.empty()) {
        QString text =
            QString("%1 units of the plan are not in the list:").arg(result.unknownMacs.size());
        for (const std::string& mac : result.unknownMacs)
            text += "\n" + QString::fromStdString(mac);
        Tell(parent, MessageIcon::Information, "Import Plan", text);
    }
}

} // namespace

std::optional<QString> WriteExport(const QString& path, const std::string& text) {
    // Written beside the target and renamed over it: a failure leaves no half-written file.
    QSaveFile file(path);
    // Unbuffered: a buffered write that the disk cuts short is still committed, half written.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    const auto size = static_cast<qint64>(text.size());
    if (const qint64 written = file.write(text.data(), size); written != size) {
        const QString reason =
            written < 0 ? file.errorString()
                        : QString("only %1 of %2 bytes could be written").arg(written).arg(size);
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

void ExportListToFile(QWidget* parent, ConsoleSession& session) {
    ChooseFile(parent, "Export List", QFileDialog::AcceptSave,
               [parent, &session](const QString& path) {
                   // The list as it is when the user says where, not when the dialog opened.
                   if (const auto failed = WriteExport(path, session.ExportList()))
                       Tell(parent, MessageIcon::Critical, "Export List",
                            QString("Could not write %1: %2").arg(path, *failed));
               });
}

void ImportPlanFromFile(QWidget* parent, ConsoleSession& session) {
    ChooseFile(parent, "Import Plan", QFileDialog::AcceptOpen,
               [parent, &session](const QString& path) { ImportFile(parent, session, path); });
}

} // namespace tarnwick
