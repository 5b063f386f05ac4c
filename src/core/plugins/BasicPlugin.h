// A plug-in with fixed texts and a drawn icon, the common base of the core's own plug-ins.
#pragma once

#include <functional>

#include "core/elements/Icons.h"
#include "core_iface/VPlugin.h"
#include "framework/Win32Handles.h"

namespace corvantile::core {

class BasicPlugin : public VPlugin {
public:
    BasicPlugin(const char* id, const char* name, const char* description, const Badge& badge);

    CString getName() override { return m_name; }
    CString getDescription() override { return m_description; }
    CString getAuthor() override { return "Corvantile"; }
    CString getId() override { return m_id; }

    // Called after the user changed the plug-in's settings, so that the index follows.
    std::function<void()> settingsChanged;

private:
    CString m_id;
    CString m_name;
    CString m_description;
    IconHandle m_icon; // what the plug-in's icon shows
};

} // namespace corvantile::core
