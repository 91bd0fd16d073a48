// tarnwick: the set-up console for KVQ network video units.
#include "app/version.h"
#include "app/window/command_line.h"
#include "app/window/main_window.h"
#include "runtime/single_instance.h"
#include "runtime/termination_signal.h"

#include <QApplication>

#include <cstdio>

namespace {

void Name() {
    QCoreApplication::setApplicationName("tarnwick");
    QCoreApplication::setApplicationVersion(tarnwick::ProjectVersion);
}

} // namespace

int main(int argc, char** argv) {
    {
        // --help and --version need no display.
        QCoreApplication commandLine(argc, argv);
        Name();
        if (const auto answer = tarnwick::CommandLineAnswer(commandLine.arguments())) {
            std::fputs(answer->toLocal8Bit().constData(), stdout);
            return 0;
        }
    }
    QApplication app(argc, argv);
    // No display name: the window system would add it to every caption.
    Name();

    tarnwick::SingleInstance instance;
    if (!instance.Claim())
        return 0; // the running console was asked to come to the front

    tarnwick::frmLumivarNetTarnwick window(tarnwick::IsInternalMode(QApplication::arguments()));
    QObject::connect(&instance, &tarnwick::SingleInstance::RaiseRequested, &window, [&window] {
        window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
        window.show();
        window.raise();
        window.activateWindow();
        if (qEnvironmentVariableIsSet("TARNWICK_TRACE"))
            qInfo("tarnwick: raised by a second start");
    });
    // Closed the ordinary way, the window releases the selected unit.
    tarnwick::OnTerminationSignal(window, [&window](int) { window.close(); });
    window.show();
    return app.exec();
}
