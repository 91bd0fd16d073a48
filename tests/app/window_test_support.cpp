#include "tests/app/window_test_support.h"

#include <QMessageBox>
#include <QTest>

#include <gtest/gtest.h>

namespace tarnwick::test {

WindowUnderTest::WindowUnderTest(bool internalMode) {
    auto loopback = std::make_unique<LoopbackLink>();
    link = loopback.get();
    window = std::make_unique<frmLumivarNetTarnwick>(internalMode, std::move(loopback));
}

void WindowUnderTest::Show() {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
}

QRect WindowUnderTest::CellRect(int row, int column) {
    return List()->visualRect(List()->model()->index(row - 1, column - 1));
}

void WindowUnderTest::ClickCell(int row, int column) {
    List()->scrollTo(List()->model()->index(row - 1, column - 1));
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, CellRect(row, column).center());
}

void WindowUnderTest::AddUnits(int count) {
    for (int unit = 1; unit <= count; ++unit)
        link->Deliver(SampleUnitReply(unit), "192.168.7.20");
}

std::string WindowUnderTest::Sent() {
    return Labels(std::exchange(link->sent, {}));
}

Texts WindowUnderTest::Messages() {
    Texts texts;
    for (QMessageBox* box : window->findChildren<QMessageBox*>()) {
        if (!box->isVisible())
            continue; // closed, waiting to be deleted
        texts.push_back(box->text().toStdString());
        box->accept();
    }
    return texts;
}

} // namespace tarnwick::test
