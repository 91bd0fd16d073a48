// The real window over a loopback link: what it sends is kept, what a test delivers arrives as
// from the socket, and its message boxes are real. Controls are found by their object names.
#pragma once

#include "app/window/main_window.h"
#include "runtime/datagram_link.h"
#include "tests/support/raw_datagram.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

#include <memory>

namespace tarnwick::test {

class LoopbackLink : public DatagramLink {
public:
    void Connect(Handlers handlers) override { handlers_ = std::move(handlers); }
    std::optional<SendFailure> Send(const std::string& datagram) override {
        if (sendError)
            return SendFailure{*sendError};
        sent.push_back(datagram);
        return std::nullopt;
    }
    SocketState State() const override { return SocketState::Open; }
    // One datagram, taken in a turn of the event loop of its own.
    void Deliver(std::string_view bytes, std::string_view sender) {
        handlers_.datagrams(bytes, sender);
        handlers_.batchEnded();
    }

    Texts sent;
    std::optional<std::string> sendError; // when set, every send fails with it

private:
    Handlers handlers_;
};

class WindowUnderTest {
public:
    explicit WindowUnderTest(bool internalMode = false);

    frmLumivarNetTarnwick* operator->() { return window.get(); }
    // Inputs as the window makes them: what they leave to send goes out after.
    ConsoleRuntime::SessionCall Session() { return window->Session(); }
    const SessionState& State() const { return window->State(); }
    template <class T> T* Find(const char* name) { return window->findChild<T*>(name); }
    QTreeView* List() { return Find<QTreeView>("ListViewUnitsOnline"); }
    QLineEdit* EditBox() { return Find<QLineEdit>("txtLabelEdit_ListViewUnitsOnline"); }
    QPushButton* Button(const char* name) { return Find<QPushButton>(name); }

    // Shown and active, as a user has it.
    void Show();
    QRect CellRect(int row, int column);
    // As a user would: the cell scrolled into view, then clicked.
    void ClickCell(int row, int column);
    // Sample units 1..count answer, in order.
    void AddUnits(int count);
    // What was sent since the last call, as labels.
    std::string Sent();
    // The texts of the open boxes; the user closes each.
    Texts Messages();

    LoopbackLink* link; // owned by the window
    std::unique_ptr<frmLumivarNetTarnwick> window;
};

} // namespace tarnwick::test
