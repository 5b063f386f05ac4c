// Walking folders for the Files and Folders plug-in: excluded folders are never opened, hidden
// files follow the setting, the limit on items is told once, and a long first index shows its
// progress while what it found so far is searchable.
#include <algorithm>
#include <atomic>
#include <set>

#include "core/files/FileWalker.h"
#include "core/plugins/FilesPlugin.h"
#include "core_test_support.h"

using namespace core_test;
using corvantile::core::DirectoryLister;
using corvantile::core::Exclusions;
using corvantile::core::FilesPlugin;
using corvantile::core::FilesSettings;
using corvantile::core::FileWalker;
using corvantile::core::WalkEntry;
using corvantile::core::WalkRules;

namespace {

// Reads the real folders, noting each one opened.
class CountingLister : public DirectoryLister {
public:
    bool list(const std::wstring& folder,
              const std::function<bool(const WIN32_FIND_DATAW&)>& entry) const override {
        opened.insert(CString::FromW(folder.c_str()));
        return DirectoryLister::list(folder, entry);
    }
    bool wasOpened(const CString& folder) const { return opened.count(folder) != 0; }
    mutable std::set<CString> opened;
};

// A made-up tree: every folder holds `files` files and, above the last level, two folders.
class SyntheticLister : public DirectoryLister {
public:
    explicit SyntheticLister(int files) : m_files(files) {}
    bool list(const std::wstring& folder,
              const std::function<bool(const WIN32_FIND_DATAW&)>& entry) const override {
        const auto depth = std::count(folder.begin(), folder.end(), L'\\');
        WIN32_FIND_DATAW data{};
        for (int i = 0; i < m_files; ++i) {
            data.dwFileAttributes = FILE_ATTRIBUTE_NORMAL;
            swprintf(data.cFileName, MAX_PATH, L"file%d.txt", i);
            if (!entry(data))
                return true;
        }
        for (int i = 0; i < 2 && depth < 4; ++i) {
            data.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
            swprintf(data.cFileName, MAX_PATH, L"sub%d", i);
            if (!entry(data))
                return true;
        }
        return true;
    }

private:
    int m_files;
};

std::vector<CString> walkNames(const FileWalker& walker, const CString& root) {
    std::vector<CString> names;
    walker.walk(
        root.W(),
        [&](const WalkEntry& entry) {
            names.push_back(CString::FromW(entry.name.data(), static_cast<int>(entry.name.size())));
            return true;
        },
        nullptr);
    std::sort(names.begin(), names.end());
    return names;
}

TEST(Exclusions, NamesWildcardsAndFullPaths) {
    SetEnvironmentVariableW(L"CORVANTILE_TEST_SKIP", L"D:\\Ångström Daten");
    const Exclusions exclusions(
        {"node_modules", "cache*", "%CORVANTILE_TEST_SKIP%\\", "C:\\Windows", "%UNSET_VAR_XYZ%"});
    EXPECT_TRUE(exclusions.excludes(L"C:\\work\\app\\NODE_MODULES"));
    EXPECT_TRUE(exclusions.excludes(L"C:\\work\\Cache-2024"));
    EXPECT_FALSE(exclusions.excludes(L"C:\\work\\my cache"));
    EXPECT_TRUE(exclusions.excludes(L"d:\\ångström daten"));
    EXPECT_FALSE(exclusions.excludes(L"D:\\Ångström Daten 2"));
    EXPECT_TRUE(exclusions.excludes(L"c:\\windows"));
    EXPECT_FALSE(exclusions.excludes(L"C:\\Windows\\System32")) << "by the walk, not the test";

    // Below a root, every folder between counts; the root itself never does.
    EXPECT_TRUE(exclusions.excludesBelow(L"C:\\", L"C:\\Windows\\System32\\x.dll"));
    EXPECT_TRUE(exclusions.excludesBelow(L"C:\\src", L"C:\\src\\a\\node_modules\\b\\c.js"));
    EXPECT_FALSE(exclusions.excludesBelow(L"C:\\Windows", L"C:\\Windows\\notepad.exe"));
    EXPECT_FALSE(exclusions.excludesBelow(L"C:\\src", L"C:\\src\\a&b\\Фото 2024.jpg"));
}

TEST(FileWalker, ExcludedFoldersAreNeverOpenedAndHiddenFilesFollowTheSetting) {
    TempFolder data;
    data.write("app/node_modules/left/out.js", "x");
    data.write("app/main.js", "x");
    data.write("repo/.git/objects/pack", "x");
    data.write("Фото 2024/naïve café.txt", "x");
    data.write("a&b/skipme/inner.txt", "x");
    data.write("a&b/kept.txt", "x");
    const CString hidden = data.write("a&b/secret.txt", "x");
    SetFileAttributesW(hidden.W().c_str(), FILE_ATTRIBUTE_HIDDEN);

    CountingLister lister;
    WalkRules rules;
    rules.exclusions = Exclusions({"node_modules", ".git", data.file("a&b\\skipme")});
    const FileWalker walker(rules, &lister);
    std::vector<CString> expected{"Фото 2024",      "a&b", "app", "kept.txt", "main.js",
                                  "naïve café.txt", "repo"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(walkNames(walker, data.text()), expected);
    EXPECT_TRUE(lister.wasOpened(data.file("app")));
    EXPECT_TRUE(lister.wasOpened(data.file("repo")));
    EXPECT_FALSE(lister.wasOpened(data.file("app\\node_modules")));
    EXPECT_FALSE(lister.wasOpened(data.file("repo\\.git")));
    EXPECT_FALSE(lister.wasOpened(data.file("a&b\\skipme")));
    EXPECT_EQ(lister.opened.size(), 5u);

    rules.includeHidden = true;
    rules.depth = 0;
    const auto names = walkNames(FileWalker(rules), data.file("a&b"));
    EXPECT_EQ(names, (std::vector<CString>{"kept.txt", "secret.txt"}));
}

class FilesIndexing : public CoreFixture {};

TEST_F(FilesIndexing, TheLimitStopsTheScanAndIsToldOnce) {
    SyntheticLister lister(400);
    auto plugin = std::make_unique<FilesPlugin>();
    FilesPlugin* files = plugin.get();
    files->setLister(&lister);
    FilesSettings settings;
    settings.folders = {"C:\\synthetic"};
    settings.maxItems = 1; // raised to the least limit there is
    files->setSettings(settings);
    EXPECT_EQ(files->settings().maxItems, FilesSettings::kLeastMaxItems);
    startCore(only(std::move(plugin)));

    EXPECT_EQ(core->impl().search.itemCount(), FilesSettings::kLeastMaxItems);
    EXPECT_EQ(files->limitReached(), FilesSettings::kLeastMaxItems);
    const CString notice = core->takeNotice();
    EXPECT_NE(notice.Find("limit of 1,000 items"), -1) << notice.GetString();
    EXPECT_TRUE(core->takeNotice().IsEmpty());
    core->updateCache();
    EXPECT_TRUE(core->takeNotice().IsEmpty()) << "told once";

    // The dialog says so too, and a higher limit takes everything.
    const wintest::ModalDriver driver([] {
        const HWND dialog = wintest::shownDialog(L"Files and Folders");
        if (!dialog)
            return false;
        wchar_t note[200] = {};
        GetDlgItemTextW(dialog, 110, note, 200);
        if (std::wstring(note).find(L"1,000 items") == std::wstring::npos)
            return false;
        SetDlgItemTextW(dialog, 109, L"100000");
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        return true;
    });
    files->configure(nullptr);
    ASSERT_EQ(files->settings().maxItems, 100000u);
    core->updateCache();
    // 400 files in each of 1 + 2 + 4 + 8 folders, and the 14 folders below the root.
    EXPECT_EQ(core->impl().search.itemCount(), 400u * 15 + 14);
    EXPECT_EQ(files->limitReached(), 0u);
}

// Gives its items in two halves, waiting in between until let go.
class PausingPlugin : public VPlugin {
public:
    CString getName() override { return "Pausing"; }
    CString getDescription() override { return "Items for tests"; }
    CString getAuthor() override { return "Tests"; }
    void scan(VItemSink& sink) override {
        for (int i = 0; i < 40000; ++i) {
            if (i == 20000) {
                paused = true;
                while (!release && !sink.cancelled())
                    Sleep(5);
            }
            const std::string name = (i == 7 ? "Zwölf Quokka " : "item ") + std::to_string(i);
            sink.add({VItemKind::Text, name.c_str(), std::to_string(i).c_str(), CString()});
        }
    }
    std::atomic<bool> paused{false}, release{false};
};

TEST_F(FilesIndexing, AFirstIndexShowsItsProgressAndIsSearchableMeanwhile) {
    auto plugin = std::make_unique<PausingPlugin>();
    PausingPlugin* pausing = plugin.get();
    startCore(only(std::move(plugin)), {}, false);
    EXPECT_TRUE(core->indexingStatus().IsEmpty());
    core->impl().search.refreshInBackground();
    for (int i = 0; i < 1000 && !pausing->paused; ++i)
        Sleep(10);
    ASSERT_TRUE(pausing->paused);
    EXPECT_EQ(core->indexingStatus(), "Indexing\xE2\x80\xA6 20,000 files");
    EXPECT_EQ(results.titles(searchAndWait("quokka")), std::vector<CString>{"Zwölf Quokka 7"});

    pausing->release = true;
    for (int i = 0; i < 1000 && !core->indexingStatus().IsEmpty(); ++i)
        Sleep(10);
    EXPECT_TRUE(core->indexingStatus().IsEmpty());
    EXPECT_EQ(core->impl().search.itemCount(), 40000u);
}

} // namespace
