// A deterministic corpus of realistic file items for the benchmarks.
#pragma once

#include "core/engine/segment.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvantile::bench {

// File items: name "report_final.pdf", path "C:\Users\alice\Documents\...\report_final.pdf".
class Corpus {
public:
    explicit Corpus(std::size_t count) {
        paths_.reserve(count);
        name_starts_.reserve(count);
        for (std::size_t i = 0; i < count; ++i)
            add_one(i);
        items_.reserve(count);
        for (std::size_t i = 0; i < count; ++i) {
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
    std::uint32_t next() {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>(state_ >> 33);
    }
    template <std::size_t N> std::string_view pick(const std::array<std::string_view, N>& list) {
        return list[next() % N];
    }

    void add_one(std::size_t i) {
        static constexpr std::array<std::string_view, 6> kUsers{"alice", "bob",  "carol",
                                                                "dave",  "erin", "frank"};
        static constexpr std::array<std::string_view, 24> kDirs{
            "Documents", "Desktop",  "Downloads", "Pictures",  "Music",   "Videos",
            "Projects",  "src",      "include",   "build",     "tests",   "assets",
            "Reports",   "Invoices", "Holiday",   "Archive",   "Drafts",  "Backup",
            "AppData",   "Local",    "Programs",  "Microsoft", "Windows", "node_modules"};
        static constexpr std::array<std::string_view, 40> kWords{
            "main",     "index",   "app",     "server",   "client",  "util",   "config",
            "setup",    "manager", "handler", "parser",   "render",  "widget", "dialog",
            "report",   "invoice", "budget",  "photo",    "summer",  "draft",  "final",
            "notes",    "readme",  "license", "schedule", "meeting", "resume", "letter",
            "contract", "backup",  "archive", "sample",   "loader",  "writer", "reader",
            "session",  "token",   "account", "profile",  "settings"};
        static constexpr std::array<std::string_view, 16> kExtensions{
            "txt", "pdf", "docx", "xlsx", "cpp", "h",   "py",  "js",
            "png", "jpg", "mp3",  "mp4",  "zip", "exe", "lnk", "md"};
        (void)i;
        std::string path = "C:\\Users\\";
        path += pick(kUsers);
        const std::size_t depth = 1 + next() % 5;
        for (std::size_t d = 0; d < depth; ++d) {
            path += '\\';
            path += pick(kDirs);
        }
        path += '\\';
        const std::size_t name_start = path.size();
        path += pick(kWords);
        switch (next() % 4) {
        case 0:
            path += '_';
            path += pick(kWords);
            break;
        case 1: {
            std::string word(pick(kWords));
            word[0] = static_cast<char>(word[0] - 32);
            path += word;
            break;
        }
        case 2:
            path += std::to_string(next() % 1000);
            break;
        default:
            break;
        }
        if (next() % 50 == 0)
            path += " caf\xC3\xA9";
        path += '.';
        path += pick(kExtensions);
        paths_.push_back(std::move(path));
        name_starts_.push_back(name_start);
    }

    std::uint64_t state_ = 0x2545F4914F6CDD1DULL;
    std::vector<std::string> paths_;
    std::vector<std::size_t> name_starts_;
    std::vector<engine::ItemData> items_;
};

} // namespace corvantile::bench
