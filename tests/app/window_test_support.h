// The real window with recorders in its seams; controls found by their object names.
#pragma once

#include "app/main_window.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tarnwick::test {

struct Shown {
    MessageReport report;
    MessageOrigin origin;
};

class WindowUnderTest {
public:
    explicit WindowUnderTest(bool internalMode = false);

    frmLumivarNetTarnwick& operator*() { return *window; }
    frmLumivarNetTarnwick* operator->() { return window.get(); }
    ConsoleSession& Session() { return window->Session(); }
    template <class T> T* Find(const char* name) { return window->findChild<T*>(name); }
    QTreeView* List() { return Find<QTreeView>("ListViewUnitsOnline"); }
    QLineEdit* EditBox() { return Find<QLineEdit>("txtLabelEdit_ListViewUnitsOnline"); }
    QPushButton* Button(const char* name) { return Find<QPushButton>(name); }

    // Feeds identification replies for units 1..n (MAC 00:00:00:00:00:0<i>).
    void AddUnits(int count);
    std::string Mac(int unit) const;
    // Datagrams sent since the last call.
    std::vector<std::string> TakeSent();
    // Messages shown since the last call, their texts.
    std::vector<std::string> TakeMessages();

    std::vector<std::string> sent;
    std::vector<Shown> shown;
    std::optional<std::string> sendError;
    int socketState = 1;
    std::unique_ptr<frmLumivarNetTarnwick> window;
};

// The select or unselect request for `mac` with the default filter.
std::string UnitRequestFor(std::uint8_t functionCode, const std::string& mac);

} // namespace tarnwick::test
