// tarnwick: the set-up console for KVQ network video units.
#include "app/main_window.h"
#include "app/single_instance.h"
#include "app/termination_signal.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // No display name: the window system would add it to every caption.
    QApplication::setApplicationName("Tarnwick");

    tarnwick::SingleInstance instance;
    if (!instance.Claim())
        return 0; // the running console was asked to come to the front

    // Exactly one argument, exactly "Internal".
    const QStringList arguments = QApplication::arguments();
    const bool internalMode = arguments.size() == 2 && arguments[1] == "Internal";

    tarnwick::frmLumivarNetTarnwick window(internalMode);
    QObject::connect(&instance, &tarnwick::SingleInstance::RaiseRequested, &window, [&window] {
        window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
        window.show();
        window.raise();
        window.activateWindow();
        if (qEnvironmentVariableIsSet("TARNWICK_TRACE"))
            qInfo("tarnwick: raised by a second start");
    });
    tarnwick::CloseOnTerminationSignal(window);
    window.show();
    return app.exec();
}
