// A deterministic corpus of realistic file items for the benchmarks.
//
// The items come as the program's own file index lists them: folder by folder, from a walk of
// each user's folder tree (C:\Users\<user>\...), a folder's subfolders and files together, then
// the walk goes down into each subfolder in turn. Folders are up to five levels deep below the
// user's folder, with about nine entries each, and the trees are as wide as it takes to make
// the count asked for.
#pragma once

#include "core/engine/catalog/segment.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvantile::bench {

// File items: name "report_final.pdf", path "C:\Users\alice\Documents\...\report_final.pdf".
class Corpus {
public:
    explicit Corpus(std::size_t count) : count_(count) {
        // Subfolders per folder on average, so that five levels hold about count items.
        branching_ = std::pow(double(count) / (6.0 * 9.0 * 1.25), 1.0 / 5.0);
        paths_.reserve(count);
        name_starts_.reserve(count);
        for (int round = 0; paths_.size() < count_; ++round)
            for (const std::string_view user : kUsers) {
                std::string home = "C:\\Users\\" + std::string(user);
                if (round > 0)
                    home += std::to_string(round);
                walk(home, 0);
                if (paths_.size() >= count_)
                    break;
            }
        items_.reserve(count);
        for (std::size_t i = 0; i < paths_.size(); ++i) {
            const std::string_view path = paths_[i];
            items_.push_back({path.substr(name_starts_[i]), path, {}, "files", 1});
        }
    }

    const std::vector<engine::ItemData>& items() const { return items_; }
    std::size_t text_bytes() const {
        std::size_t total = 0;
        for (const auto& item : items_)
            total += item.name.size() + item.path.size();
        return total;
    }

private:
    static constexpr std::array<std::string_view, 6> kUsers{"alice", "bob",  "carol",
                                                            "dave",  "erin", "frank"};
    static constexpr std::array<std::string_view, 24> kDirs{
        "Documents", "Desktop",  "Downloads", "Pictures",  "Music",   "Videos",
        "Projects",  "src",      "include",   "build",     "tests",   "assets",
        "Reports",   "Invoices", "Holiday",   "Archive",   "Drafts",  "Backup",
        "AppData",   "Local",    "Programs",  "Microsoft", "Windows", "node_modules"};
    static constexpr std::array<std::string_view, 40> kWords{
        "main",     "index",   "app",    "server",  "client",   "util",    "config",  "setup",
        "manager",  "handler", "parser", "render",  "widget",   "dialog",  "report",  "invoice",
        "budget",   "photo",   "summer", "draft",   "final",    "notes",   "readme",  "license",
        "schedule", "meeting", "resume", "letter",  "contract", "backup",  "archive", "sample",
        "loader",   "writer",  "reader", "session", "token",    "account", "profile", "settings"};
    static constexpr std::array<std::string_view, 16> kExtensions{
        "txt", "pdf", "docx", "xlsx", "cpp", "h",   "py",  "js",
        "png", "jpg", "mp3",  "mp4",  "zip", "exe", "lnk", "md"};
    static constexpr int kDepth = 5;

    std::uint32_t next() {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>(state_ >> 33);
    }
    template <std::size_t N> std::string_view pick(const std::array<std::string_view, N>& list) {
        return list[next() % N];
    }

    void add(const std::string& folder, std::string_view name) {
        if (paths_.size() >= count_)
            return;
        name_starts_.push_back(folder.size() + 1);
        paths_.push_back(folder + '\\' + std::string(name));
    }

    std::string file_name() {
        std::string name(pick(kWords));
        switch (next() % 4) {
        case 0:
            name += '_';
            name += pick(kWords);
            break;
        case 1: {
            std::string word(pick(kWords));
            word[0] = static_cast<char>(word[0] - 32);
            name += word;
            break;
        }
        case 2:
            name += std::to_string(next() % 1000);
            break;
        default:
            break;
        }
        if (next() % 50 == 0)
            name += " caf\xC3\xA9";
        name += '.';
        name += pick(kExtensions);
        return name;
    }

    // Lists a folder's subfolders and files, then walks into each subfolder.
    void walk(const std::string& folder, int depth) {
        if (paths_.size() >= count_)
            return;
        std::vector<std::string_view> folders;
        if (depth < kDepth) {
            const auto wanted = next() % std::uint32_t(2 * branching_ + 1);
            for (std::uint32_t k = 0; k < wanted; ++k) {
                const std::string_view name = pick(kDirs);
                if (std::find(folders.begin(), folders.end(), name) == folders.end())
                    folders.push_back(name);
            }
        }
        for (const std::string_view name : folders)
            add(folder, name);
        for (std::uint32_t files = next() % 17; files > 0; --files)
            add(folder, file_name());
        for (const std::string_view name : folders)
            walk(folder + '\\' + std::string(name), depth + 1);
    }

    std::size_t count_;
    double branching_ = 0;
    std::uint64_t state_ = 0x2545F4914F6CDD1DULL;
    std::vector<std::string> paths_;
    std::vector<std::size_t> name_starts_;
    std::vector<engine::ItemData> items_;
};

} // namespace corvantile::bench
