// The filter's property page: mirror, flip and the zoom step, for users of graph-editing tools.
#pragma once

#include "dshow/BasePropertyPage.h"
#include "imagefx/IIPEffectVantor.h"

// The zoom steps the page offers, by trackbar position; a factor that is none of them shows as
// position 0, and a position outside them means no zoom.
constexpr int kVantorZoomSteps = 6;
int zoomStepOf(float zoom) noexcept;
float zoomOfStep(int step) noexcept;

class CVantorImageEffectsPropertyPage final : public dshow::BasePropertyPage {
public:
    CVantorImageEffectsPropertyPage() noexcept;

protected:
    HRESULT OnConnect(IUnknown* object) override;
    HRESULT OnDisconnect() override;
    HRESULT OnActivate() override;
    HRESULT OnDeactivate() override;
    HRESULT OnApplyChanges() override;
    INT_PTR OnReceiveMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void readControls() noexcept;
    void showZoom(float zoom) noexcept;

    // Released in OnDisconnect, which the base also calls when the page goes while connected.
    IIPEffectVantor* effects_ = nullptr;
    int mirror_ = 0;
    int flip_ = 0;
    float zoom_ = 1.0f;
    // Set between OnActivate and OnDeactivate: commands sent while the controls are filled in
    // are not the user's changes.
    bool active_ = false;
};

// A factory entry's create function.
HRESULT CreateVantorImageEffectsPropertyPage(IUnknown* outer, REFIID riid, void** ppv) noexcept;
