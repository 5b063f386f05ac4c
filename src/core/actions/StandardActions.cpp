#include "core/actions/StandardActions.h"

#include <shlobj.h>
#include <shlwapi.h>

#include "core/elements/ItemResult.h"
#include "core/shell/Shell.h"
#include "core_iface/VCorvantileCore.h"

namespace corvantile::core {
namespace {

// The program part of a property: the value itself, or a command line's program.
CString fileOf(const VProperty& property) {
    if (property.type == PropertyCommandLine)
        return splitCommandLine(property.value).first;
    return property.value;
}

class OpenAction final : public CoreAction {
public:
    OpenAction()
        : CoreAction(
              {"open",
               "Open",
               "Opens the file or folder, or starts the program",
               {PropertyPath, PropertyFolder, PropertyCommandLine},
               {L"4", RGB(0x2E, 0x7D, 0x32), RGB(255, 255, 255), BadgeShape::Circle, L"Marlett"}}) {
        m_iconMaker = [] { return shellIconForKind(L"program.exe", false); };
    }

protected:
    bool perform(VResult*, const VProperty& property, const CString&) override {
        if (property.type == PropertyCommandLine) {
            const auto [program, arguments] = splitCommandLine(property.value);
            return shellOpen(program, nullptr, arguments);
        }
        return shellOpen(property.value);
    }
};

class OpenFolderAction final : public CoreAction {
public:
    OpenFolderAction()
        : CoreAction({"open-folder",
                      "Open containing folder",
                      "Opens the folder that holds the file, with the file selected",
                      {PropertyPath, PropertyCommandLine},
                      {L"F", RGB(0xE0, 0xA0, 0x20)},
                      "Open the folder of"}) {
        m_iconMaker = [] { return shellIconForKind(L"folder", true); };
    }

protected:
    bool perform(VResult*, const VProperty& property, const CString&) override {
        CString file = fileOf(property);
        file.TrimRight("\\");
        if (fileExists(file) || folderExists(file))
            return shellOpen("explorer.exe", nullptr, "/select,\"" + file + "\"");
        const CString folder = folderOf(file);
        return !folder.IsEmpty() && shellOpen(folder);
    }
};

bool isProgramFile(const CString& path) {
    CString lower = path;
    lower.MakeLower();
    for (const char* extension : {".exe", ".lnk", ".bat", ".cmd", ".msi", ".com"}) {
        if (lower.GetLength() > 4 && lower.Right(4) == extension)
            return true;
    }
    return false;
}

class RunAsAdminAction final : public CoreAction {
public:
    RunAsAdminAction()
        : CoreAction({"run-as-admin",
                      "Run as administrator",
                      "Starts the program with administrator rights",
                      {PropertyPath, PropertyCommandLine},
                      {L"A", RGB(0x1E, 0x5A, 0xB4), RGB(0xFF, 0xD5, 0x4F)},
                      "Run as administrator:"}) {}

    bool isResultSupported(VResult* result) override {
        if (!result)
            return false;
        for (int i = 0; i < result->getPropertyCount(); ++i) {
            const VProperty* property = result->getProperty(i);
            if (property && isTypeSupported(property->type) && isProgramFile(fileOf(*property)))
                return true;
        }
        return false;
    }

protected:
    bool perform(VResult*, const VProperty& property, const CString&) override {
        if (property.type == PropertyCommandLine) {
            const auto [program, arguments] = splitCommandLine(property.value);
            return shellOpen(program, "runas", arguments);
        }
        return shellOpen(property.value, "runas");
    }
};

class PropertiesAction final : public CoreAction {
public:
    PropertiesAction()
        : CoreAction({"properties",
                      "Properties",
                      "Shows the properties of the file or folder",
                      {PropertyPath, PropertyFolder},
                      {L"i", RGB(0x1A, 0x73, 0xE8), RGB(255, 255, 255), BadgeShape::Circle},
                      "Show the properties of"}) {}

protected:
    bool perform(VResult*, const VProperty& property, const CString&) override {
        const std::wstring path = property.value.W();
        if (SHObjectProperties(nullptr, SHOP_FILEPATH, path.c_str(), nullptr))
            return true;
        return shellOpen(property.value, "properties");
    }
};

class CopyAction final : public CoreAction {
public:
    explicit CopyAction(const Definition& definition) : CoreAction(definition) {}

protected:
    bool perform(VResult*, const VProperty& property, const CString&) override {
        return copyToClipboard(property.value);
    }
};

class OpenUrlAction final : public CoreAction {
public:
    OpenUrlAction()
        : CoreAction({"open-url",
                      "Open URL",
                      "Opens the address in the web browser",
                      {PropertyUrl},
                      {L"@", RGB(0x1A, 0x73, 0xE8), RGB(255, 255, 255), BadgeShape::Circle}}) {}

protected:
    bool perform(VResult* result, const VProperty& property, const CString&) override {
        const VCorvantileCore* core = VCorvantileCore::instance();
        CString browser;
        if (core->openUrlInSourceBrowser) {
            if (const auto* item = dynamic_cast<const ItemResult*>(result);
                item && item->item().kind == VItemKind::Bookmark)
                browser = item->item().extra;
        }
        const auto [program, arguments] =
            browserCommandFor(property.value, browser, core->openUrlInNewWindow);
        if (!program.IsEmpty() && shellOpen(program, nullptr, arguments))
            return true;
        return shellOpen(property.value);
    }
};

// The installed program of an executable name, from the shell's "App Paths".
CString appPath(const char* exe) {
    const std::wstring key =
        L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + CString(exe).W();
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        wchar_t value[MAX_PATH] = {};
        DWORD size = sizeof(value);
        if (RegGetValueW(root, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value, &size) ==
            ERROR_SUCCESS)
            return CString::FromW(value);
    }
    return CString();
}

CString defaultBrowser() {
    wchar_t exe[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    if (FAILED(AssocQueryStringW(ASSOCF_NONE, ASSOCSTR_EXECUTABLE, L"http", L"open", exe, &size)))
        return CString();
    return CString::FromW(exe);
}

// The option that opens a new window, for the browsers that have one.
const char* newWindowOption(const CString& browserPath) {
    CString name = CPath(browserPath).GetFileName();
    name.MakeLower();
    if (name == "chrome.exe" || name == "msedge.exe" || name == "brave.exe")
        return "--new-window";
    if (name == "firefox.exe")
        return "-new-window";
    return nullptr;
}

} // namespace

std::pair<CString, CString> browserCommandFor(const CString& url, const CString& fromBrowser,
                                              bool newWindow) {
    CString program;
    if (fromBrowser == "chrome")
        program = appPath("chrome.exe");
    else if (fromBrowser == "edge")
        program = appPath("msedge.exe");
    else if (fromBrowser == "brave")
        program = appPath("brave.exe");
    else if (fromBrowser == "ie")
        program = appPath("IEXPLORE.EXE");
    if (program.IsEmpty() && newWindow)
        program = defaultBrowser();
    const char* option = newWindow && !program.IsEmpty() ? newWindowOption(program) : nullptr;
    if (program.IsEmpty() || (fromBrowser.IsEmpty() && !option))
        return {};
    const CString quotedUrl = "\"" + url + "\"";
    return {program, option ? CString(option) + " " + quotedUrl : quotedUrl};
}

StandardActions makeStandardActions() {
    StandardActions set;
    auto add = [&](std::unique_ptr<CoreAction> action) {
        CoreAction* raw = action.get();
        set.actions.push_back(std::move(action));
        return raw;
    };
    CoreAction* open = add(std::make_unique<OpenAction>());
    add(std::make_unique<OpenFolderAction>());
    add(std::make_unique<RunAsAdminAction>());
    CoreAction* openUrl = add(std::make_unique<OpenUrlAction>());
    add(std::make_unique<CopyAction>(
        CoreAction::Definition{"copy-path",
                               "Copy path",
                               "Copies the path to the clipboard",
                               {PropertyPath, PropertyFolder, PropertyCommandLine},
                               {L"C", RGB(0x60, 0x7D, 0x8B)},
                               "Copy"}));
    add(std::make_unique<CopyAction>(CoreAction::Definition{"copy-url",
                                                            "Copy URL",
                                                            "Copies the address to the clipboard",
                                                            {PropertyUrl},
                                                            {L"C", RGB(0x1A, 0x73, 0xE8)},
                                                            "Copy"}));
    CoreAction* copy =
        add(std::make_unique<CopyAction>(CoreAction::Definition{"copy",
                                                                "Copy",
                                                                "Copies the text to the clipboard",
                                                                {PropertyText, PropertyName},
                                                                {L"C", RGB(0x2E, 0x7D, 0x32)},
                                                                "Copy"}));
    add(std::make_unique<PropertiesAction>());

    set.defaults = {{PropertyPath, open},   {PropertyFolder, open}, {PropertyCommandLine, open},
                    {PropertyUrl, openUrl}, {PropertyText, copy},   {PropertyName, copy}};
    return set;
}

} // namespace corvantile::core
