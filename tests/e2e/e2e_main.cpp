// The end-to-end driver: skipped (exit 77) where the machine cannot run it.
#include "e2e_support.h"

namespace tarnwick::test {
namespace {

// Why this machine cannot run the tests; empty when it can.
QString MissingReason() {
    if (QString missing = MissingTestNetworkReason(); !missing.isEmpty())
        return missing;
    if (qEnvironmentVariableIsEmpty("TARNWICK_BINARY"))
        return "TARNWICK_BINARY does not name the tarnwick binary";
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return "no display: xvfb-run is missing (Debian package xvfb)";
    if (QStandardPaths::findExecutable("xdotool").isEmpty())
        return "xdotool is missing (Debian package xdotool)";
    return {};
}

} // namespace
} // namespace tarnwick::test

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (const QString missing = tarnwick::test::MissingReason(); !missing.isEmpty()) {
        std::fprintf(stderr, "end-to-end tests skipped: %s\n", qPrintable(missing));
        return tarnwick::test::SkippedExitCode;
    }
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
