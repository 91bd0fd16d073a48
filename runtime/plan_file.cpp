#include "runtime/plan_file.h"

#include <QFile>

namespace tarnwick {

std::variant<QByteArray, QString> ReadPlanFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString("Could not read %1: %2").arg(path, file.errorString());
    const QString tooLarge = QString("%1 is too large to be a plan (over 10 MB).").arg(path);
    if (file.size() > LargestPlan)
        return tooLarge;
    // A device or a pipe has no size to check beforehand.
    QByteArray bytes = file.read(LargestPlan + 1);
    if (bytes.size() > LargestPlan)
        return tooLarge;
    if (file.error() != QFileDevice::NoError)
        return QString("Could not read %1: %2").arg(path, file.errorString());
    return bytes;
}

} // namespace tarnwick
