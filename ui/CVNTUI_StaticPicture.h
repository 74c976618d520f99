// A static control that shows its picture scaled into the layout box given by its owner, zoomed
// by one of six steps.
#pragma once

#include "framework/Handles.h"
#include "toolkit/CColorStatic.h"
#include "ui/CVNTUI_Picture.h"

class CVNTUI_StaticPicture : public CColorStatic, public CVNTUI_Picture {
public:
    // A static control made by code, with the picture styles.
    bool Create(HWND parent, UINT id, const RECT& rect, DWORD extraStyle = 0);
    // Takes over a static control from a dialog template and gives it the picture styles.
    bool Attach(HWND control);

    int LoadAndRender(const std::wstring& fileName, bool skipIfSame);
    bool LoadFromResourceAndRender(UINT id, const wchar_t* type);

    // 1 when a picture is shown; 0 when there is none (the control is then cleared).
    virtual int Render();
    virtual int CopyToClipboard();

    // The owner's layout size; Render uses it from the next call on.
    void SetBoxSize(int width, int height);
    int boxWidth() const { return boxWidth_; }
    int boxHeight() const { return boxHeight_; }
    // 0..5; a new step renders at once, the current one does nothing.
    void SetZoomStep(int step);
    int zoomStep() const { return zoomStep_; }
    float zoomFactor() const { return zoom_; }

protected:
    // Prepares the control once it is bound to its window.
    virtual void OnAttached() {}
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void setZoomState(int step);

private:
    void setImage(HBITMAP image);

    int boxWidth_ = 320;
    int boxHeight_ = 240;
    float zoom_ = 1.0f;
    int zoomStep_ = 0;
    HBITMAP shown_ = nullptr;  // owned: the image the control was last given
};
