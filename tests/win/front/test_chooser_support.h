// Helpers of the navigation and chooser tests: an owner window that records the choices the
// lists send it, a results list hanging below it, results with several properties, and actions
// that record how they ran.
#pragma once

#include <memory>
#include <vector>

#include "choosers/VActionListCtrl.h"
#include "core_iface/VCorvantileCore.h"
#include "framework/CEdit.h"
#include "mainwnd/OwnerMessages.h"
#include "resultlist/VElementListCtrl.h"

namespace choosertest {

struct Choice {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Stands in for the search bar: records WM_APP+10, +11 and +12.
class RecordingOwner : public CWnd {
public:
    std::vector<Choice> choices;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_LIST_ELEMENTCHOSEN || message == WM_LIST_ACTIONCHOSEN ||
            message == WM_LIST_PROPERTYCHOSEN) {
            choices.push_back({message, wParam, lParam});
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// The recording owner with an edit box and a one-line results list below it.
class Host {
public:
    Host() {
        CWnd::CreateArgs args;
        args.style = WS_POPUP | WS_VISIBLE;
        args.exStyle = WS_EX_TOOLWINDOW;
        args.SetRect(CRect(100, 50, 600, 80));
        owner.CreateEx(args);
        edit.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, CRect(24, 2, 476, 26),
                    &owner, 1000);
        list.Create(&owner, &edit);
        list.setTwoLines(false);
    }
    ~Host() { list.clear(true); }
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    VActionListCtrl& actions() { return *list.getActionList(); }
    VPropertyListCtrl& properties() { return actions().getPropertyList(); }

    RecordingOwner owner;
    CEdit edit;
    VElementListCtrl list;
};

// A result with the properties a test gives it; the first is the default one.
class MultiResult : public VResult {
public:
    static MultiResult* create(std::vector<std::pair<PropertyType, const char*>> properties) {
        auto* result = new MultiResult;
        result->m_title = "multi";
        for (const auto& [type, value] : properties)
            result->addProperty(type, value);
        return result;
    }

protected:
    HICON loadIcon(bool& ownIcon) override {
        ownIcon = false;
        return nullptr;
    }
};

// An action for some property types that records its runs and succeeds as told.
class RecordingAction : public VAction {
public:
    RecordingAction(const char* name, std::vector<PropertyType> types)
        : VAction(name, "An action for tests", std::move(types)) {}

    bool run(VResult* result, VProperty* property, const CString& text) override {
        ++runs;
        lastResult = result;
        lastProperty = property;
        lastText = text;
        return succeed;
    }
    CString getLabel(VProperty* property) override {
        return name + " " + (property ? property->value : CString());
    }

    bool succeed = true;
    int runs = 0;
    VResult* lastResult = nullptr;
    VProperty* lastProperty = nullptr;
    CString lastText;
};

// A started core holding two recording actions: "Several" (URL and command line) and "Single"
// (command line only). Freed at the end of the test.
class ChooserTest : public testing::Test {
protected:
    void SetUp() override {
        core = VCorvantileCore::instance();
        core->setBuiltInPlugins(false);
        core->setBackgroundRefresh(false);
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        core->setCacheFolder(temp);
        auto several = std::make_unique<RecordingAction>(
            "Several", std::vector<PropertyType>{PropertyUrl, PropertyCommandLine});
        auto single = std::make_unique<RecordingAction>(
            "Single", std::vector<PropertyType>{PropertyCommandLine});
        this->several = several.get();
        this->single = single.get();
        core->registerAction(std::move(several));
        core->registerAction(std::move(single));
        core->startUp();
    }
    void TearDown() override {
        host.reset();
        core->deleteThis();
    }

    // The row of the action chooser that lists action, or -1.
    int rowOf(VAction* action) {
        VActionListCtrl& list = host->actions();
        for (int row = 0; row < list.getRowCount(); ++row)
            if (list.getItem(row)->action == action)
                return row;
        return -1;
    }

    VCorvantileCore* core = nullptr;
    RecordingAction* several = nullptr;
    RecordingAction* single = nullptr;
    std::unique_ptr<Host> host = std::make_unique<Host>();
};

} // namespace choosertest
