#include "ui/PictureGeometry.h"

namespace skeo {

namespace {

PanAxis centredAxis(int picture, int view) {
    PanAxis axis;
    if (picture <= view) {
        axis.target = (view - picture) / 2;
        axis.length = picture;
    } else {
        axis.maxSource = picture - view;
        axis.source = axis.maxSource / 2;
        axis.length = view;
    }
    return axis;
}

void panAxis(PanAxis& axis, int delta) {
    if (axis.maxSource <= 0) return;
    int source = axis.source + delta;
    if (source < 0) source = 0;
    if (source > axis.maxSource) source = axis.maxSource;
    axis.source = source;
}

}  // namespace

float pictureZoomFactor(int step) {
    static const float kFactors[] = {1.0f, 1.25f, 1.5f, 2.0f, 2.5f, 3.0f};
    if (step < 0) step = 0;
    if (step > 5) step = 5;
    return kFactors[step];
}

PictureSize fittedPictureSize(PictureSize picture, PictureSize box, PictureSize client) {
    if (picture.height < picture.width) {
        if (picture != client && (picture.width > box.width || picture.height > box.height)) return box;
        return picture;
    }
    if (picture.height > client.height) return PictureSize{client.height * 3 / 4, client.height};
    return picture;
}

PictureSize zoomedPictureSize(PictureSize fitted, float zoom) {
    return PictureSize{static_cast<int>(fitted.width * zoom), static_cast<int>(fitted.height * zoom)};
}

PhotoViewLayout layoutPhotoView(PictureSize picture, PictureSize box, PictureSize client, float zoom) {
    PhotoViewLayout layout;
    layout.portrait = !(picture.height < picture.width);
    layout.scaled = zoomedPictureSize(fittedPictureSize(picture, box, client), zoom);
    layout.x = centredAxis(layout.scaled.width, client.width);
    layout.y = centredAxis(layout.scaled.height, client.height);
    return layout;
}

void panPhotoView(PhotoViewLayout& layout, int dx, int dy) {
    panAxis(layout.x, dx);
    panAxis(layout.y, dy);
}

}  // namespace skeo
