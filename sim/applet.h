// The applet's thread as the program sees it from outside: it handles the
// messages sent to its windows one at a time, runs modal dialogs nested inside
// the handlers that opened them, and completes a click only when every dialog
// it opened has closed and every handler nested above it has returned.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sim/world.h"

namespace sim {

// One dialog a handler shows modally: created after a delay, then waited for.
struct DialogStep {
    std::string name;
    Micros delay;
    std::function<HWND()> create;
    // While a dialog is being created its thread handles no other message;
    // a window shown from a later start-up stage does not hold the thread.
    bool keepsBusy = true;
};

class Applet {
public:
    explicit Applet(World& world);
    virtual ~Applet() = default;

    const HANDLE processHandle = reinterpret_cast<HANDLE>(0x5000);
    const HANDLE threadHandle = reinterpret_cast<HANDLE>(0x5004);
    const DWORD processId = 0x77;

    // Called by CreateProcessA: the process starts and, after its start-up,
    // shows its main window modally; closing that window ends the process.
    void Launch();
    bool exited() const { return exited_; }
    // The process has finished its start-up and waits for input.
    bool StartedUp() const { return startedUp_ && world_.now >= busyUntil_; }

    void Deliver(const SentMessage& message);
    LRESULT DeliverAndWait(const SentMessage& message);

    // For the applet's handlers.
    void ShowModal(std::vector<DialogStep> dialogs, std::function<void()> afterLast = nullptr);
    void EndDialog(HWND dialog);
    void Exit();
    HWND TopLevelOf(HWND window);

    // What the applet observed, in order, for tests that look from the applet's side.
    std::vector<std::string> log;

protected:
    // Called by Launch after the start-up time.
    virtual Micros StartupTime() const = 0;
    virtual DialogStep MainWindow() = 0;
    // A dialog that has ended may stay on screen for a while before it is destroyed.
    virtual Micros LingerOf(const std::string&) const { return 0; }
    // A click on the named control ends the process instead of being handled.
    virtual bool ExitsOnClick(const std::string&) const { return false; }
    virtual void AfterDialogOpened(HWND) {}
    // Lets the innermost modal loop notice a dialog the applet ended by itself.
    void Settle();

    World& world_;

private:
    struct Frame {
        bool hasOrigin = false;
        SentMessage origin;
        std::vector<DialogStep> dialogs;
        size_t next = 0;
        HWND current = 0;
        bool opening = false;
        std::function<void()> afterLast;
    };

    void ProcessInbox();
    LRESULT Handle(const SentMessage& message);
    void OpenNext(Frame& frame);
    void Complete(const SentMessage& message, LRESULT result);

    std::vector<std::unique_ptr<Frame>> frames_;
    std::vector<SentMessage> inbox_;
    const SentMessage* handling_ = nullptr;
    bool handlingOpenedFrame_ = false;
    Micros busyUntil_ = 0;
    bool startedUp_ = false;
    bool exited_ = false;
};

}  // namespace sim
