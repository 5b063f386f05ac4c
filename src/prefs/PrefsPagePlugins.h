// The Plugins page of the Preferences: the core's search plug-ins with icon, name, description
// and author; "Configure..." or a double click opens a plug-in's own configuration. The page
// stores nothing itself.
#pragma once

#include "framework/CBCGPPropertySheet.h"
#include "framework/CListCtrl.h"

class VPlugin;

class PrefsPagePlugins : public CBCGPPropertyPage {
public:
    PrefsPagePlugins();

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    // The plug-in of the selected row when it can be configured, else null.
    VPlugin* selectedConfigurable() const;

    CImageList m_imageList;
    CListCtrl m_list;
};
