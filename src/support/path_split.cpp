#include "support/path_split.h"

namespace corvantile::support {

namespace {

bool is_separator(char ch) {
    return ch == '\\' || ch == '/';
}

bool is_ascii_letter(char ch) {
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z');
}

std::size_t skip_separators(std::string_view path, std::size_t pos) {
    while (pos < path.size() && is_separator(path[pos]))
        ++pos;
    return pos;
}

std::size_t component_end(std::string_view path, std::size_t pos) {
    while (pos < path.size() && !is_separator(path[pos]))
        ++pos;
    return pos;
}

} // namespace

std::string PathParts::location() const {
    std::string text = drive;
    if (rooted)
        text += '\\';
    for (const auto& dir : dirs) {
        text += dir;
        text += '\\';
    }
    return text;
}

PathParts split_path(std::string_view path) {
    PathParts parts;
    std::size_t pos = 0;
    if (path.size() >= 2 && is_ascii_letter(path[0]) && path[1] == ':') {
        parts.drive = std::string(path.substr(0, 2));
        pos = 2;
    } else if (path.size() >= 2 && is_separator(path[0]) && is_separator(path[1])) {
        // A network path: the server and the share form the drive.
        const std::size_t server = skip_separators(path, 0);
        const std::size_t server_end = component_end(path, server);
        if (server_end > server) {
            parts.drive = "\\\\" + std::string(path.substr(server, server_end - server));
            pos = server_end;
            const std::size_t share = skip_separators(path, server_end);
            const std::size_t share_end = component_end(path, share);
            if (share_end > share) {
                parts.drive += '\\';
                parts.drive += path.substr(share, share_end - share);
                pos = share_end;
            }
        }
    }
    parts.rooted = pos < path.size() && is_separator(path[pos]);

    for (;;) {
        pos = skip_separators(path, pos);
        if (pos == path.size())
            break;
        const std::size_t end = component_end(path, pos);
        std::string component(path.substr(pos, end - pos));
        if (end == path.size()) {
            parts.file_name = std::move(component);
            break;
        }
        parts.dirs.push_back(std::move(component));
        pos = end;
    }
    return parts;
}

std::string add_back_slash(std::string_view path) {
    if (path.empty())
        return {};
    while (!path.empty() && is_separator(path.back()))
        path.remove_suffix(1);
    std::string text(path);
    text += '\\';
    return text;
}

} // namespace corvantile::support
