// Sizes and pan offsets of a photo shown in a view, free of Windows headers.
#pragma once

namespace skeo {

struct PictureSize {
    int width = 0;
    int height = 0;
    bool operator==(const PictureSize& o) const { return width == o.width && height == o.height; }
    bool operator!=(const PictureSize& o) const { return !(*this == o); }
};

// Zoom factor of a step 0..5 (1.0 to 3.0); steps outside are held at the nearest end.
float pictureZoomFactor(int step);

// The size a picture is shown at before zooming: a landscape picture that overflows the layout box
// takes the box's size (unless it already has the control's size); a portrait or square picture
// taller than the control is fitted to the control's height at 3:4.
PictureSize fittedPictureSize(PictureSize picture, PictureSize box, PictureSize client);

// The fitted size times the zoom factor, each side truncated.
PictureSize zoomedPictureSize(PictureSize fitted, float zoom);

// Where a zoomed picture appears in a view, along one axis. A picture shorter than the view is
// centred and fixed; a longer one fills the view and shows the part from `source` on, which panning
// moves within 0..maxSource.
struct PanAxis {
    int target = 0;     // first view pixel the picture covers
    int source = 0;     // first picture pixel shown
    int length = 0;     // pixels shown
    int maxSource = 0;  // 0 when the axis cannot pan
};

struct PhotoViewLayout {
    PictureSize scaled;
    bool portrait = false;
    PanAxis x;
    PanAxis y;
    bool canPan() const { return x.maxSource > 0 || y.maxSource > 0; }
};

// The layout of a freshly rendered photo: a long axis starts at the picture's middle.
PhotoViewLayout layoutPhotoView(PictureSize picture, PictureSize box, PictureSize client, float zoom);

// Drags the picture by (dx, dy) view pixels (the anchor minus the cursor), each long axis held in its range.
void panPhotoView(PhotoViewLayout& layout, int dx, int dy);

}  // namespace skeo
