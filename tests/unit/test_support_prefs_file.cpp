// The preferences file on disk: first run, atomic saves stopped half-way, damaged files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "support/prefs_file.h"
#include "support/prefs_xml.h"

using namespace corvantile::support;
namespace fs = std::filesystem;

namespace {

class SupportPrefsFile : public testing::Test {
protected:
    void SetUp() override {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        m_dir = fs::temp_directory_path() /
                ("corvantile_prefs_" + std::to_string(getpid()) + "_" + info->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        m_file = m_dir / "Corvantile.xml";
    }
    void TearDown() override { fs::remove_all(m_dir); }

    static std::unique_ptr<PrefsNode> tree(const std::string& version) {
        auto root = std::make_unique<PrefsNode>("Corvantile");
        PrefsNode& window = root->add_child("Window");
        window.set_param("Version", version);
        window.set_param("Name", "Zoë <&>");
        return root;
    }

    // The "Version" value of the loaded file, or "" when nothing loads.
    std::string loaded_version(PrefsLoadResult* result = nullptr) {
        PrefsNode document("");
        const PrefsLoadResult loaded = load_prefs_file(m_file, document);
        if (result)
            *result = loaded;
        const PrefsNode* root = document.find_child("Corvantile");
        const PrefsNode* window = root ? root->find_child("Window") : nullptr;
        const std::string* version = window ? window->find_param("Version") : nullptr;
        return version ? *version : "";
    }

    void write_raw(const fs::path& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    }

    std::string read_raw(const fs::path& path) {
        return read_file(path, kPrefsMaxBytes * 2).value_or("<missing>");
    }

    // Files in the folder whose names contain the text.
    int count_files(const std::string& part) {
        int count = 0;
        for (const auto& entry : fs::directory_iterator(m_dir))
            count += entry.path().filename().string().find(part) != std::string::npos;
        return count;
    }

    fs::path m_dir;
    fs::path m_file;
};

} // namespace

TEST_F(SupportPrefsFile, MissingFileIsAFirstRun) {
    PrefsLoadResult result;
    EXPECT_EQ(loaded_version(&result), "");
    EXPECT_EQ(result.status, PrefsLoadStatus::Missing);
    EXPECT_FALSE(result.set_aside);
}

TEST_F(SupportPrefsFile, SavesKeepThePreviousFileAsBackup) {
    ASSERT_TRUE(save_prefs_file(m_file, *tree("1")));
    EXPECT_FALSE(fs::exists(prefs_backup_path(m_file)));
    ASSERT_TRUE(save_prefs_file(m_file, *tree("2")));
    EXPECT_EQ(loaded_version(), "2");
    EXPECT_NE(read_raw(prefs_backup_path(m_file)).find("value=\"1\""), std::string::npos);
    // Saving the same settings again leaves both files alone: the backup stays version 1.
    ASSERT_TRUE(save_prefs_file(m_file, *tree("2")));
    EXPECT_EQ(loaded_version(), "2");
    EXPECT_NE(read_raw(prefs_backup_path(m_file)).find("value=\"1\""), std::string::npos);
}

TEST_F(SupportPrefsFile, SaveStoppedAtAnyStepLeavesOldOrNewFile) {
    for (const SaveStep step :
         {SaveStep::WriteTemp, SaveStep::FlushTemp, SaveStep::KeepBackup, SaveStep::Replace}) {
        ASSERT_TRUE(save_prefs_file(m_file, *tree("old")));
        EXPECT_FALSE(save_prefs_file(m_file, *tree("new"), step));
        PrefsLoadResult result;
        EXPECT_EQ(loaded_version(&result), "old") << static_cast<int>(step);
        EXPECT_EQ(result.status, PrefsLoadStatus::Loaded);

        // The next save after the crash goes through and the leftovers do not matter.
        ASSERT_TRUE(save_prefs_file(m_file, *tree("new")));
        EXPECT_EQ(loaded_version(), "new");
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    // A first save stopped half-way leaves no file at all, which is a first run again.
    EXPECT_FALSE(save_prefs_file(m_file, *tree("new"), SaveStep::FlushTemp));
    PrefsLoadResult result;
    loaded_version(&result);
    EXPECT_EQ(result.status, PrefsLoadStatus::Missing);
}

TEST_F(SupportPrefsFile, DamagedFileIsSetAsideAndTheBackupRead) {
    const std::string good = *write_prefs_xml(*tree("good"));
    std::string deep = "<preferences>";
    for (int i = 0; i < 10000; ++i)
        deep += "<node name=\"x\">";
    const std::string shapes[] = {
        good.substr(0, good.size() / 2),                        // truncated
        std::string(good).replace(good.size() / 3, 1, 1, '\0'), // NUL byte
        std::string(4096, '\0'),                                // zero-filled after a crash
        "PK\x03\x04 not xml",                                   // something else entirely
        "<?xml version=\"1.0\"?><settings/>",                   // wrong root
        deep,                                                   // absurdly deep
        "",                                                     // empty
    };
    for (const auto& bytes : shapes) {
        // With a good backup, the backup is read and stays as it is.
        write_raw(prefs_backup_path(m_file), good);
        write_raw(m_file, bytes);
        PrefsLoadResult result;
        EXPECT_EQ(loaded_version(&result), "good");
        EXPECT_EQ(result.status, PrefsLoadStatus::FromBackup);
        ASSERT_TRUE(result.set_aside);
        EXPECT_EQ(read_raw(*result.set_aside), bytes);
        EXPECT_FALSE(fs::exists(m_file));
        EXPECT_EQ(read_raw(prefs_backup_path(m_file)), good);

        // Without one, nothing loads, and the damaged file is still kept.
        fs::remove(prefs_backup_path(m_file));
        write_raw(m_file, bytes);
        EXPECT_EQ(loaded_version(&result), "");
        EXPECT_EQ(result.status, PrefsLoadStatus::Unusable);
        ASSERT_TRUE(result.set_aside);
        EXPECT_EQ(read_raw(*result.set_aside), bytes);
    }
    // Each damaged file got a name of its own.
    EXPECT_EQ(count_files(".corrupt-"), 2 * static_cast<int>(std::size(shapes)));
}

TEST_F(SupportPrefsFile, HugeFileIsSetAsideUnread) {
    write_raw(prefs_backup_path(m_file), *write_prefs_xml(*tree("good")));
    {
        std::ofstream out(m_file, std::ios::binary);
        out.seekp(static_cast<std::streamoff>(kPrefsMaxBytes) + 1);
        out.put('x');
    }
    PrefsLoadResult result;
    EXPECT_EQ(loaded_version(&result), "good");
    ASSERT_TRUE(result.set_aside);
    EXPECT_EQ(fs::file_size(*result.set_aside), kPrefsMaxBytes + 2);
}

TEST_F(SupportPrefsFile, DamagedFileNeverBecomesTheBackup) {
    ASSERT_TRUE(save_prefs_file(m_file, *tree("1")));
    ASSERT_TRUE(save_prefs_file(m_file, *tree("2")));
    // Damaged behind the program's back, then saved over without a load in between.
    write_raw(m_file, "<preferences><node name=");
    ASSERT_TRUE(save_prefs_file(m_file, *tree("3")));
    EXPECT_EQ(loaded_version(), "3");
    EXPECT_NE(read_raw(prefs_backup_path(m_file)).find("value=\"1\""), std::string::npos);
    EXPECT_EQ(count_files(".corrupt-"), 1);

    // After a load that fell back on the backup, the next save keeps that backup too.
    write_raw(m_file, "garbage");
    EXPECT_EQ(loaded_version(), "1");
    ASSERT_TRUE(save_prefs_file(m_file, *tree("4")));
    EXPECT_EQ(loaded_version(), "4");
    EXPECT_NE(read_raw(prefs_backup_path(m_file)).find("value=\"1\""), std::string::npos);
}
