#include "app/dialogs/site_files.h"

#include "app/dialogs/message_box.h"
#include "runtime/plan_file.h"

#include <QFile>
#include <QFileDialog>
#include <QSaveFile>

namespace tarnwick {
namespace {

void Tell(QWidget* parent, MessageIcon icon, const char* title, const QString& text) {
    OpenMessageBox(parent, {icon, title, text.toStdString(), TextEncoding::Utf8}, {});
}

// `chosen` gets the path and the dialog, to ask which name filter was chosen.
template <class Chosen>
void ChooseFile(QWidget* parent, const char* caption, QFileDialog::AcceptMode mode, Chosen chosen) {
    auto* dialog = new QFileDialog(parent, caption);
    dialog->setNameFilters(mode == QFileDialog::AcceptSave
                               ? QStringList{CommaSeparatedFilter, SemicolonSeparatedFilter}
                               : QStringList{"CSV files (*.csv)", "All files (*)"});
    dialog->setObjectName(mode == QFileDialog::AcceptSave ? "ExportListDialog"
                                                          : "ImportPlanDialog");
    dialog->setAcceptMode(mode);
    dialog->setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                        : QFileDialog::ExistingFile);
    dialog->setDefaultSuffix("csv");
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QFileDialog::fileSelected, parent,
                     [dialog, chosen](const QString& path) { chosen(path, *dialog); });
    dialog->open();
}

void ImportFile(QWidget* parent, ConsoleRuntime& runtime, const QString& path) {
    const auto read = ReadPlanFile(path);
    if (const auto* failed = std::get_if<QString>(&read)) {
        Tell(parent, MessageIcon::Critical, "Import Plan", *failed);
        return;
    }
    const auto& bytes = std::get<QByteArray>(read);
    const ImportResult result = runtime.Session()->ImportPlan(
        std::string_view(bytes.data(), static_cast<std::size_t>(bytes.size())));
    if (!result.problems.empty()) {
        QString text = "Nothing was imported:";
        for (const std::string& problem : result.problems)
            text += "\n" + QString::fromStdString(problem);
        Tell(parent, MessageIcon::Exclamation, "Import Plan", text);
        return;
    }
    if (const std::string notes = ImportNotes(result); !notes.empty())
        Tell(parent, MessageIcon::Information, "Import Plan", QString::fromStdString(notes));
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

void ExportListToFile(QWidget* parent, ConsoleRuntime& runtime) {
    ChooseFile(parent, "Export List", QFileDialog::AcceptSave,
               [parent, &runtime](const QString& path, const QFileDialog& dialog) {
                   const char separator =
                       dialog.selectedNameFilter() == SemicolonSeparatedFilter ? ';' : ',';
                   // The list as it is when the user says where, not when the dialog opened.
                   if (const auto failed =
                           WriteExport(path, ExportList(runtime.State(), separator)))
                       Tell(parent, MessageIcon::Critical, "Export List",
                            QString("Could not write %1: %2").arg(path, *failed));
               });
}

void ImportPlanFromFile(QWidget* parent, ConsoleRuntime& runtime, std::function<void()> imported) {
    ChooseFile(parent, "Import Plan", QFileDialog::AcceptOpen,
               [parent, &runtime, imported = std::move(imported)](const QString& path,
                                                                  const QFileDialog&) {
                   ImportFile(parent, runtime, path);
                   imported();
               });
}

} // namespace tarnwick
