// The settings sheet's System page: versions, the update link, the interface language and the
// start at log-on. Stored on OK only.
#pragma once

#include <string>

#include "toolkit/CVNTUI_PropertyPage.h"
#include "toolkit/CXHyperLink.h"

class VNTRegedit;

class CVNTUI_Skeo_SystemPage : public CVNTUI_PropertyPage {
public:
    explicit CVNTUI_Skeo_SystemPage(VNTRegedit& settings);

    // The current camera's firmware version, shown after its label.
    void setVersionText(const std::wstring& version);
    void ReloadTexts() override;

protected:
    BOOL OnInitDialog() override;
    bool OnApply() override;

private:
    VNTRegedit& settings_;
    std::wstring version_;
    CXHyperLink updates_;
};
