#include "sim/applet_models.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace sim {

namespace {

constexpr const char* kDialogClass = "#32770";

class ModelApplet : public Applet {
public:
    ModelApplet(World& world, AppletVariant variant, const AppletKnobs& knobs)
        : Applet(world), variant_(variant), knobs_(knobs) {}

protected:
    Micros StartupTime() const override { return knobs_.startup; }
    Micros LingerOf(const std::string& name) const override {
        auto found = knobs_.linger.find(name);
        return found == knobs_.linger.end() ? 0 : found->second;
    }
    bool ExitsOnClick(const std::string& name) const override {
        return !knobs_.exitOnClick.empty() && name == knobs_.exitOnClick;
    }
    void AfterDialogOpened(HWND) override {
        // Other programs' windows keep popping up above the applet's dialogs.
        for (HWND window : foreign_) Raise(window);
    }

    DialogStep MainWindow() override {
        for (int i = 0; i < knobs_.foreignWindows; ++i)
            foreign_.push_back(world_
                                   .Create("foreign" + std::to_string(i), "ForeignClass", WS_POPUP | WS_VISIBLE,
                                           {50, 50, 300, 200}, kForeignThread, world_.desktop, 0)
                                   .handle);
        HWND host =
            world_.Create("rundllHost", "RunDLLHost", WS_POPUP, {0, 0, 10, 10}, kAppletThread, world_.desktop, 0)
                .handle;
        if (knobs_.exitAt >= 0) world_.Schedule(knobs_.exitAt - world_.now, [this] { Exit(); });
        if (knobs_.foreignWindowEvery > 0) ComeAndGo();
        DialogStep step{"main", knobs_.mainWindowAfterIdle, [this, host] { return BuildMain(host); }};
        step.keepsBusy = false;
        return step;
    }

private:
    // A window of another program that shows for a while, again and again.
    void ComeAndGo() {
        world_.Schedule(knobs_.foreignWindowEvery, [this] {
            HWND window = world_
                              .Create("passing", "PassingClass", WS_POPUP | WS_VISIBLE, {60, 60, 200, 120},
                                      kForeignThread, world_.desktop, 0)
                              .handle;
            world_.Schedule(knobs_.foreignWindowEvery / 2, [this, window] { world_.Destroy(window); });
            ComeAndGo();
        });
    }

    HWND BuildMain(HWND host) {
        for (int i = 0; i < knobs_.hiddenAppletWindows; ++i)
            world_.Create("hidden" + std::to_string(i), "HiddenClass", WS_POPUP, {10, 10, 200, 200}, kAppletThread,
                          world_.desktop, 0);
        HWND main = Dialog("main", host, {100, 80, 500, 520});
        Button(main, 1, Ends());
        Button(main, 2, nullptr);
        HWND page = Page(main, "main.page");
        switch (variant_) {
            case AppletVariant::Win95:
                Button(page, 1210, Opens({Step("firstDialog", [this, main] { return Win95FirstDialog(main); })}));
                break;
            case AppletVariant::Win98:
                Button(page, 1802, Opens({Step("firstDialog", [this, main] { return Win98FirstDialog(main); })}));
                break;
            case AppletVariant::WinNT:
                Button(page, 265, Opens({Step("firstDialog", [this, main] { return NtFirstDialog(main); })}));
                break;
        }
        if (knobs_.offscreenAppletWindow)
            world_.Create("offscreen", kDialogClass, WS_POPUP | WS_VISIBLE, {-1, 0, 300, 300}, kAppletThread,
                          world_.desktop, host);
        return main;
    }

    // Windows 95 ------------------------------------------------------------------

    HWND Win95FirstDialog(HWND main) {
        HWND dialog = Dialog("firstDialog", main, {120, 100, 480, 460});
        Button(dialog, 1, Ends());
        HWND page = Page(dialog, "firstDialog.page");
        Button(page, 1302, Opens({Step("secondDialog", [this, dialog] { return Win95SecondDialog(dialog); })}));
        return dialog;
    }

    HWND Win95SecondDialog(HWND owner) {
        HWND dialog = Dialog("secondDialog", owner, {140, 120, 460, 400});
        Button(dialog, 101,
               Opens({Step("pathDialog", [this, dialog] { return PathDialog(dialog, 101); }),
                      Step("copyDialog", [this, dialog] { return OkDialog("copyDialog", dialog); })}));
        Button(dialog, 1, Ends());
        return dialog;
    }

    // Windows 98 ------------------------------------------------------------------

    HWND Win98FirstDialog(HWND main) {
        HWND dialog = Dialog("firstDialog", main, {120, 100, 480, 460});
        Window* tab = Control(dialog, 12320, "SysTabControl32");
        if (tab && knobs_.tabHasButtonsStyle) tab->style |= TCS_BUTTONS;
        Button(dialog, 1, Ends());
        HWND page = Page(dialog, "firstDialog.page");
        Button(page, 1302, Opens({Step("wizard", [this, dialog] { return Wizard(dialog); })}));
        return dialog;
    }

    // Next shows the following page on top of the wizard's children; Finish ends it.
    HWND Wizard(HWND owner) {
        HWND wizard = Dialog("wizard", owner, {160, 120, 520, 420});
        wizardPage_ = 0;
        Button(wizard, 12324, [this, wizard](World&, Window&) { ShowWizardPage(wizard, wizardPage_ + 1); });
        Button(wizard, 12325, Ends());
        Button(wizard, 2, Ends());
        ShowWizardPage(wizard, 0);
        return wizard;
    }

    void ShowWizardPage(HWND wizard, int index) {
        static const char* const kPages[] = {"wizard.welcome", "wizard.choice", "wizard.location", "wizard.ready"};
        if (index > 3) return;
        if (Window* old = world_.Find(currentPage_)) world_.Destroy(old->handle);
        wizardPage_ = index;
        currentPage_ = Page(wizard, kPages[index]);
        Raise(currentPage_);
        if (index == 1) {
            Control(currentPage_, 3316, "Button");
            Window* other = Control(currentPage_, 3315, "Button");
            if (other) other->checkState = 1;
        } else if (index == 2) {
            Button(currentPage_, 1567,
                   Opens({Step("pathDialog", [this, wizard] { return PathDialog(wizard, 101); }),
                          Step("confirmDialog", [this, wizard] { return Win98ConfirmDialog(wizard); })}));
        }
    }

    HWND Win98ConfirmDialog(HWND wizard) {
        HWND dialog = Dialog("confirmDialog", wizard, {200, 200, 400, 320});
        Button(dialog, 1, [this, dialog](World&, Window&) {
            EndDialog(dialog);
            if (knobs_.unownedWindowAfterConfirm)
                world_.Create("restartPrompt", kDialogClass, WS_POPUP | WS_VISIBLE, {300, 300, 600, 420}, kAppletThread,
                              world_.desktop, 0);
        });
        return dialog;
    }

    // Windows NT ------------------------------------------------------------------

    HWND NtFirstDialog(HWND main) {
        HWND dialog = Dialog("firstDialog", main, {120, 100, 480, 460});
        std::vector<DialogStep> opened;
        if (knobs_.ntProgressBeforeSecondDialog)
            opened.push_back(Step("progressDialog", [this, dialog] {
                HWND progress = Dialog("progressDialog", dialog, {200, 200, 400, 300});
                world_.Schedule(300 * kMillisecond, [this, progress] {
                    EndDialog(progress);
                    Settle();
                });
                return progress;
            }));
        opened.push_back(Step("secondDialog", [this, dialog] { return NtSecondDialog(dialog); }));
        opened.push_back(Step("closingQuestion", [this, dialog] {
            HWND question = Dialog("closingQuestion", dialog, {220, 220, 420, 320});
            Button(question, 10, nullptr);
            Button(question, 2, Ends());
            return question;
        }));
        Button(dialog, 519, Opens(opened));
        Button(dialog, 2, Ends());
        return dialog;
    }

    // Button 1567 runs the path dialog and what follows it, then closes its own dialog.
    HWND NtSecondDialog(HWND firstDialog) {
        HWND dialog = Dialog("secondDialog", firstDialog, {140, 120, 460, 400});
        Button(dialog, 1567, [this, dialog, firstDialog](World&, Window&) {
            ShowModal({Step("pathDialog", [this, dialog] { return PathDialog(dialog, 107); }),
                       Step("copyDialog", [this, dialog] { return OkDialog("copyDialog", dialog); }),
                       Step("yesNoBox",
                            [this, firstDialog] {
                                HWND box = Dialog("yesNoBox", firstDialog, {240, 240, 420, 320});
                                Button(box, 6, Ends());
                                Button(box, 7, Ends());
                                return box;
                            })},
                      [this, dialog] { EndDialog(dialog); });
        });
        Button(dialog, 1, Ends());
        return dialog;
    }

    // Shared pieces -----------------------------------------------------------------

    HWND PathDialog(HWND owner, int editId) {
        HWND dialog = Dialog("pathDialog", owner, {180, 160, 440, 300});
        if (Window* edit = Control(dialog, editId, "Edit")) {
            // A dialog selects the text of the edit box that gets the focus.
            edit->text = "A:\\";
            edit->selectionEnd = 3;
        }
        // The applet reads the box when the path is confirmed; what it read is the outcome.
        Button(dialog, 1, [this, dialog, editId](World&, Window&) {
            Window* edit = ControlOf(dialog, editId);
            log.push_back("confirm pathDialog \"" + (edit ? edit->text : std::string()) + "\"");
            EndDialog(dialog);
        });
        Button(dialog, 2, Ends());
        return dialog;
    }

    HWND OkDialog(const std::string& name, HWND owner) {
        HWND dialog = Dialog(name, owner, {200, 200, 400, 300});
        Button(dialog, 1, Ends());
        return dialog;
    }

    HWND Dialog(const std::string& name, HWND owner, RECT rect) {
        bool staged = knobs_.dialogBuiltIn > 0 && name != "main";
        HWND dialog = world_.Create(name, kDialogClass, WS_POPUP | (staged ? 0 : WS_VISIBLE), rect, kAppletThread,
                                    world_.desktop, owner)
                          .handle;
        if (staged) world_.Schedule(knobs_.dialogBuiltIn, [this, dialog] { FinishBuilding(dialog); });
        return dialog;
    }

    HWND Page(HWND parent, const std::string& name) {
        Window& page =
            world_.Create(name, kDialogClass, WS_CHILD | WS_VISIBLE, {0, 0, 300, 300}, kAppletThread, parent, 0);
        Window* dialog = world_.Find(parent);
        if (knobs_.dialogBuiltIn > 0 && dialog && !(dialog->style & WS_VISIBLE)) {
            // Not made yet: the page comes when the dialog shows.
            dialog->children.erase(std::find(dialog->children.begin(), dialog->children.end(), page.handle));
            unbuiltPages_.push_back(page.handle);
        }
        return page.handle;
    }

    void FinishBuilding(HWND dialog) {
        Window* self = world_.Find(dialog);
        if (!self) return;
        for (HWND page : unbuiltPages_)
            if (Window* child = world_.Find(page); child && child->parent == dialog)
                self->children.insert(self->children.begin(), page);
        self->style |= WS_VISIBLE;
    }

    Window* Control(HWND parent, int id, const std::string& className) {
        std::string name = world_.NameOf(parent) + "#" + std::to_string(id);
        if (knobs_.missingControls.count(name)) return nullptr;
        return &world_.Create(name, className, WS_CHILD | WS_VISIBLE, {0, 0, 80, 24}, kAppletThread, parent, 0, id);
    }

    // Looked up directly: the applet's own look-ups are not calls of the program.
    Window* ControlOf(HWND dialog, int id) {
        Window* self = world_.Find(dialog);
        if (!self) return nullptr;
        for (HWND child : self->children)
            if (Window* control = world_.Find(child); control && control->controlId == id) return control;
        return nullptr;
    }

    void Button(HWND parent, int id, ClickHandler onClick) {
        if (Window* button = Control(parent, id, "Button")) button->onClick = std::move(onClick);
    }

    ClickHandler Ends() {
        return [this](World&, Window& control) { EndDialog(TopLevelOf(control.handle)); };
    }

    ClickHandler Opens(std::vector<DialogStep> dialogs) {
        return [this, dialogs](World&, Window&) { ShowModal(dialogs); };
    }

    DialogStep Step(const std::string& name, std::function<HWND()> create) {
        auto found = knobs_.dialogDelays.find(name);
        return {name, found == knobs_.dialogDelays.end() ? knobs_.dialogDelay : found->second, std::move(create)};
    }

    void Raise(HWND window) {
        Window* self = world_.Find(window);
        Window* parent = self ? world_.Find(self->parent) : nullptr;
        if (!parent) return;
        auto& siblings = parent->children;
        auto place = std::find(siblings.begin(), siblings.end(), window);
        if (place == siblings.end()) return;  // a page not made yet comes on top when made
        siblings.erase(place);
        siblings.insert(siblings.begin(), window);
    }

    AppletVariant variant_;
    AppletKnobs knobs_;
    std::vector<HWND> foreign_;
    std::vector<HWND> unbuiltPages_;
    HWND currentPage_ = 0;
    int wizardPage_ = 0;
};

}  // namespace

std::unique_ptr<Applet> MakeAppletModel(World& world, AppletVariant variant, const AppletKnobs& knobs) {
    return std::make_unique<ModelApplet>(world, variant, knobs);
}

}  // namespace sim
