#include "app/window/toolbar_icons.h"

#include <initializer_list>

// Resources of a static library must be pulled in by name.
static void InitialiseIconResources() {
    Q_INIT_RESOURCE(icons);
}

#include <QApplication>
#include <QStyle>

namespace tarnwick {
namespace {

// Drawn at 1x and 2x, so the images stay crisp on a scaled screen.
QIcon Bundled(const QString& name, std::initializer_list<int> sizes) {
    static const bool initialised = (InitialiseIconResources(), true);
    (void)initialised;
    QIcon icon;
    for (const int size : sizes)
        icon.addFile(QString(":/icons/%1-%2.png").arg(name).arg(size), QSize(size, size));
    return icon;
}

} // namespace

QIcon ExitIcon() {
    return QIcon::fromTheme("application-exit", Bundled("exit", {16, 32}));
}

QIcon RefreshIcon() {
    return QIcon::fromTheme("view-refresh", Bundled("refresh", {16, 32}));
}

QIcon ExplorerIcon() {
    return QIcon::fromTheme("system-search", Bundled("identify", {16, 32}));
}

QIcon TarnwickWindowIcon() {
    return QIcon::fromTheme("tarnwick", Bundled("tarnwick", {16, 32, 48, 64, 128}));
}

QIcon ChangeResultIcon(ChangeState state) {
    switch (state) {
    case ChangeState::Sent:
        return QIcon::fromTheme("content-loading-symbolic", Bundled("result-sent", {16, 32}));
    case ChangeState::Confirmed:
        return QIcon::fromTheme("emblem-ok-symbolic", Bundled("result-confirmed", {16, 32}));
    case ChangeState::NoAnswer:
        return QIcon::fromTheme("dialog-error", Bundled("result-no-answer", {16, 32}));
    case ChangeState::UnclearAnswer:
        return QIcon::fromTheme("dialog-question", Bundled("result-unclear", {16, 32}));
    }
    return {};
}

QIcon UnreachableIcon() {
    return QIcon::fromTheme("dialog-warning",
                            QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning));
}

} // namespace tarnwick
