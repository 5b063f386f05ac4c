#include "core/elements/PropertyIcons.h"

#include <array>
#include <mutex>

#include "core/elements/Icons.h"

namespace corvantile::core {
namespace {

HICON makePropertyIcon(PropertyType type) {
    HICON icon = nullptr;
    switch (type) {
    case PropertyPath:
        icon = shellIconForKind(L"file.txt", false);
        break;
    case PropertyFolder:
        icon = shellIconForKind(L"folder", true);
        break;
    case PropertyCommandLine:
        icon = shellIconForKind(L"program.exe", false);
        break;
    case PropertyUrl:
        return makeBadgeIcon(
            {L"@", RGB(0x1A, 0x73, 0xE8), RGB(0xFF, 0xFF, 0xFF), BadgeShape::Circle});
    case PropertyName:
        return makeBadgeIcon({L"Aa", RGB(0x70, 0x70, 0x70)});
    case PropertyText:
        return makeBadgeIcon({L"=", RGB(0x2E, 0x7D, 0x32)});
    case PropertyWindow:
        return makeBadgeIcon(
            {L"2", RGB(0x5C, 0x6B, 0xC0), RGB(255, 255, 255), BadgeShape::Rounded, L"Marlett"});
    default:
        break;
    }
    return icon ? icon : makeBadgeIcon({L"?", RGB(0x90, 0x90, 0x90)});
}

} // namespace

HICON propertyIcon(PropertyType type) {
    static std::mutex mutex;
    static std::array<IconHandle, PropertyWindow + 1> icons;
    const std::size_t index =
        type > PropertyNone && type <= PropertyWindow ? static_cast<std::size_t>(type) : 0;
    std::lock_guard lock(mutex);
    if (!icons[index])
        icons[index].reset(makePropertyIcon(static_cast<PropertyType>(index)));
    return icons[index].get();
}

} // namespace corvantile::core
