// Walking folders for the Files and Folders plug-in: excluded folders are never opened, hidden
// files follow the setting, the limit on items is told once, and a long first index shows its
// progress while what it found so far is searchable.
#include <algorithm>
#include <atomic>
#include <deque>
#include <mutex>
#include <stdexcept>
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
        {
            std::lock_guard lock(mutex);
            opened.insert(CString::FromW(folder.c_str()));
        }
        return DirectoryLister::list(folder, entry);
    }
    bool wasOpened(const CString& folder) const { return opened.count(folder) != 0; }
    mutable std::mutex mutex;
    mutable std::set<CString> opened;
};

// One visited entry, as a line that a failed comparison shows readably.
CString visitLine(const std::wstring& path, int level, bool folder) {
    return std::to_string(level).c_str() + CString(folder ? " folder " : " file ") +
           CString::FromW(path.c_str());
}

std::vector<CString> walkAll(const FileWalker& walker, const std::wstring& root) {
    std::vector<CString> visited;
    EXPECT_TRUE(walker.walk(
        root,
        [&](const WalkEntry& entry) {
            EXPECT_EQ(entry.path.substr(entry.path.size() - entry.name.size()), entry.name);
            visited.push_back(visitLine(entry.path, entry.level, entry.folder));
            return true;
        },
        nullptr));
    return visited;
}

// The order of a walk listing one folder after the other: each folder's entries together, the
// folders in the order they were met.
std::vector<CString> plainWalk(const DirectoryLister& lister, const std::wstring& root, int depth) {
    std::vector<CString> visited;
    std::deque<std::pair<std::wstring, int>> pending{{root, 0}};
    while (!pending.empty()) {
        const auto [folder, level] = pending.front();
        pending.pop_front();
        lister.list(folder, [&](const WIN32_FIND_DATAW& data) {
            const bool isFolder = data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
            const std::wstring path = folder + L"\\" + data.cFileName;
            visited.push_back(visitLine(path, level, isFolder));
            if (isFolder && level < depth)
                pending.push_back({path, level + 1});
            return true;
        });
    }
    return visited;
}

// A made-up tree: every folder holds `files` files and, down to `levels` backslashes in its path,
// `branches` folders. Some folders are listed slowly, so that listings end out of order; the
// one whose path ends with `unreadable` cannot be opened and the one ending with `broken` throws.
class SyntheticLister : public DirectoryLister {
public:
    explicit SyntheticLister(int files, int branches = 2, int levels = 4)
        : m_files(files), m_branches(branches), m_levels(levels) {}
    bool list(const std::wstring& folder,
              const std::function<bool(const WIN32_FIND_DATAW&)>& entry) const override {
        ++opened;
        if (!unreadable.empty() && folder.ends_with(unreadable))
            return false;
        if (!broken.empty() && folder.ends_with(broken))
            throw std::runtime_error("naïve café");
        if (slow && std::hash<std::wstring>()(folder) % 3 == 0)
            Sleep(3);
        const auto depth = std::count(folder.begin(), folder.end(), L'\\');
        WIN32_FIND_DATAW data{};
        for (int i = 0; i < m_files; ++i) {
            data.dwFileAttributes = FILE_ATTRIBUTE_NORMAL;
            swprintf(data.cFileName, MAX_PATH, L"naïve café %d.txt", i);
            if (!entry(data))
                return true;
        }
        for (int i = 0; i < m_branches && depth < m_levels; ++i) {
            data.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
            swprintf(data.cFileName, MAX_PATH, L"Фото %d", i);
            if (!entry(data))
                return true;
        }
        return true;
    }
    mutable std::atomic<int> opened{0};
    bool slow = false;
    std::wstring unreadable, broken;

private:
    int m_files, m_branches, m_levels;
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

TEST(FileWalker, FoldersListedAheadComeOutInTheOrderOfAPlainWalk) {
    SyntheticLister lister(2, 3, 5);
    lister.unreadable = L"Daten\\Фото 1\\Фото 2";
    WalkRules rules;
    rules.depth = 3; // the last level of folders is reported but not opened
    const std::wstring root = L"C:\\Ångström Daten";
    const auto expected = plainWalk(lister, root, rules.depth);
    // 40 folders listed less the unreadable one's 3, 5 entries in each but the unreadable one.
    ASSERT_EQ(expected.size(), 36u * 5);
    lister.slow = true;
    const int before = lister.opened;
    EXPECT_EQ(walkAll(FileWalker(rules, &lister), root), expected);
    EXPECT_EQ(lister.opened - before, 37);

    // A lister throwing on a worker thread ends the walk with its exception, on the walk's own.
    lister.broken = L"\\Фото 2\\Фото 0";
    const FileWalker walker(rules, &lister);
    EXPECT_THROW(walker.walk(
                     root, [](const WalkEntry&) { return true; }, nullptr),
                 std::runtime_error);
}

TEST(FileWalker, AStoppedWalkListsNoFolderBeyondTheReadAhead) {
    SyntheticLister lister(2, 6, 4);
    lister.slow = true;
    WalkRules rules;
    rules.depth = 3;
    const FileWalker walker(rules, &lister);
    for (const bool byVisit : {true, false}) {
        const int before = lister.opened;
        std::set<std::wstring> handedOver;
        std::size_t visits = 0;
        // Slower than the listing, so that unchecked workers would run far ahead.
        const auto visit = [&](const WalkEntry& entry) {
            handedOver.insert(entry.path.substr(0, entry.path.size() - entry.name.size()));
            Sleep(1);
            return !byVisit || ++visits < 60;
        };
        const auto stop = [&] { return !byVisit && handedOver.size() >= 8; };
        EXPECT_FALSE(walker.walk(L"C:\\tree", visit, stop));
        const int opened = lister.opened - before;
        EXPECT_GE(handedOver.size(), 7u);
        EXPECT_LE(opened, static_cast<int>(handedOver.size() + FileWalker::kReadAhead));
        Sleep(20);
        EXPECT_EQ(lister.opened - before, opened) << "no listing after the walk";
    }
}

class FilesIndexing : public CoreFixture {
protected:
    // Outlives the core, whose rescans may still be walking when a test's body ends.
    SyntheticLister lister{400};
};

TEST_F(FilesIndexing, TheLimitStopsTheScanAndIsToldOnce) {
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
