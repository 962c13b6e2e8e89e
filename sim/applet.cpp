#include "sim/applet.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace sim {

namespace {
// A posted or notified message reaches the other thread a moment after it is sent.
constexpr Micros kDeliveryLatency = 100;
constexpr Micros kExitAfterMainWindowCloses = 50 * kMillisecond;
}  // namespace

Applet::Applet(World& world) : world_(world) {}

void Applet::Launch() {
    Micros startup = StartupTime();
    busyUntil_ = world_.now + startup;
    world_.Schedule(startup, [this] {
        startedUp_ = true;
        auto frame = std::make_unique<Frame>();
        frame->dialogs.push_back(MainWindow());
        frame->afterLast = [this] { world_.Schedule(kExitAfterMainWindowCloses, [this] { Exit(); }); };
        frames_.push_back(std::move(frame));
        OpenNext(*frames_.back());
    });
}

void Applet::Deliver(const SentMessage& message) {
    if (exited_) {
        // The receiver has gone: a continuation still comes back, with result 0.
        world_.QueueCallback(message, 0);
        return;
    }
    inbox_.push_back(message);
    world_.Schedule(kDeliveryLatency, [this] { ProcessInbox(); });
}

LRESULT Applet::DeliverAndWait(const SentMessage& message) {
    while (!exited_ && world_.now < busyUntil_)
        if (!world_.RunNextEvent()) world_.ReportHang("SendMessageA to a busy applet");
    if (exited_) return 0;
    return Handle(message);
}

void Applet::ProcessInbox() {
    if (exited_) return;
    if (world_.now < busyUntil_) {
        world_.Schedule(busyUntil_ - world_.now, [this] { ProcessInbox(); });
        return;
    }
    while (!inbox_.empty() && !exited_ && world_.now >= busyUntil_) {
        SentMessage message = inbox_.front();
        inbox_.erase(inbox_.begin());
        Handle(message);
    }
}

LRESULT Applet::Handle(const SentMessage& message) {
    world_.NoteChange();
    Window* target = world_.Find(message.target);
    if (!target) {
        Complete(message, 0);
        return 0;
    }
    std::string name = target->name;
    switch (message.message) {
        case BM_CLICK:
            if (ExitsOnClick(name)) {
                log.push_back("click " + name + " (exits)");
                Complete(message, 0);
                Exit();
                return 0;
            }
            log.push_back("click " + name);
            if (target->onClick) {
                handling_ = &message;
                handlingOpenedFrame_ = false;
                ClickHandler handler = target->onClick;
                handler(world_, *target);
                handling_ = nullptr;
                if (handlingOpenedFrame_) {
                    Settle();
                    return 0;
                }
            }
            break;
        case BM_SETCHECK:
            target->checkState = static_cast<int>(message.wParam);
            log.push_back("check " + name + " " + std::to_string(message.wParam));
            break;
        case EM_SETSEL: {
            int length = static_cast<int>(target->text.size());
            int start = static_cast<int>(message.wParam);
            int end = static_cast<int>(message.lParam);
            target->selectionStart = start < 0 ? length : std::min(start, length);
            target->selectionEnd = end < 0 ? length : std::min(end, length);
            break;
        }
        case WM_PASTE: {
            if (world_.clipboardSet) {
                int start = std::min(target->selectionStart, target->selectionEnd);
                int end = std::max(target->selectionStart, target->selectionEnd);
                target->text.replace(start, end - start, world_.clipboard);
                target->selectionStart = target->selectionEnd = start + static_cast<int>(world_.clipboard.size());
            }
            log.push_back("paste " + name + " \"" + target->text + "\"");
            break;
        }
        case TCM_SETCURFOCUS: {
            target->tabFocus = static_cast<int>(message.wParam);
            char buttons[16];
            std::snprintf(buttons, sizeof buttons, "0x%lx", static_cast<unsigned long>(target->style & TCS_BUTTONS));
            log.push_back("tab focus " + name + " " + std::to_string(message.wParam) + " style " + buttons);
            break;
        }
        default:
            break;
    }
    Complete(message, 0);
    Settle();
    return 0;
}

void Applet::Complete(const SentMessage& message, LRESULT result) { world_.QueueCallback(message, result); }

void Applet::ShowModal(std::vector<DialogStep> dialogs, std::function<void()> afterLast) {
    auto frame = std::make_unique<Frame>();
    if (handling_) {
        frame->hasOrigin = true;
        frame->origin = *handling_;
        handlingOpenedFrame_ = true;
    }
    frame->dialogs = std::move(dialogs);
    frame->afterLast = std::move(afterLast);
    frames_.push_back(std::move(frame));
    OpenNext(*frames_.back());
}

void Applet::OpenNext(Frame& frame) {
    DialogStep& step = frame.dialogs[frame.next++];
    frame.opening = true;
    if (step.keepsBusy) busyUntil_ = std::max(busyUntil_, world_.now + step.delay);
    Frame* opening = &frame;
    world_.Schedule(step.delay, [this, opening, &step] {
        if (exited_) return;
        opening->current = step.create();
        opening->opening = false;
        log.push_back("open " + step.name);
        AfterDialogOpened(opening->current);
        Settle();
        ProcessInbox();
    });
}

void Applet::EndDialog(HWND dialog) {
    if (Window* window = world_.Find(dialog)) window->dialogEnded = true;
}

// Lets the innermost modal loop notice an ended dialog: destroy it, show the
// handler's next dialog, or return from the handler, which may let the loop
// below it go on in turn.
void Applet::Settle() {
    while (!exited_ && !frames_.empty()) {
        Frame& top = *frames_.back();
        if (top.opening) return;
        if (Window* dialog = world_.Find(top.current)) {
            if (!dialog->dialogEnded) return;
            Micros linger = LingerOf(dialog->name);
            if (linger > 0) {
                HWND handle = dialog->handle;
                std::string name = dialog->name;
                top.current = 0;
                top.opening = true;
                world_.Schedule(linger, [this, handle, name, &top] {
                    if (exited_) return;
                    world_.Destroy(handle);
                    log.push_back("close " + name);
                    top.opening = false;
                    Settle();
                });
                return;
            }
            log.push_back("close " + dialog->name);
            world_.Destroy(top.current);
        }
        top.current = 0;
        if (top.next < top.dialogs.size()) {
            OpenNext(top);
            return;
        }
        std::unique_ptr<Frame> finished = std::move(frames_.back());
        frames_.pop_back();
        if (finished->afterLast) finished->afterLast();
        if (finished->hasOrigin) Complete(finished->origin, 0);
    }
}

void Applet::Exit() {
    if (exited_) return;
    exited_ = true;
    log.push_back("exit");
    world_.NoteChange();
    for (auto& frame : frames_)
        if (frame->hasOrigin) world_.QueueCallback(frame->origin, 0);
    for (const SentMessage& message : inbox_) world_.QueueCallback(message, 0);
    frames_.clear();
    inbox_.clear();
    Window* desktop = world_.Find(world_.desktop);
    for (HWND window : std::vector<HWND>(desktop->children)) {
        Window* top = world_.Find(window);
        if (top && top->threadId == kAppletThread) world_.Destroy(window);
    }
}

HWND Applet::TopLevelOf(HWND window) {
    Window* current = world_.Find(window);
    while (current && (current->style & WS_CHILD)) current = world_.Find(current->parent);
    return current ? current->handle : 0;
}

}  // namespace sim
