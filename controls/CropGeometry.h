#pragma once
// Geometry of the crop editor: where the picture is shown, where the crop
// rectangle and its eight handles lie on screen, and how dragging a handle
// changes the rectangle. Crop rectangles are in picture pixels, everything
// else in client pixels. No window needed.
#include <wx/gdicmn.h>

struct CropMovePoints {
    // The handles, clockwise from the top-left corner, and the inside.
    enum MovePoint {
        NoPoint = -1,
        TopLeftPoint = 0,
        TopPoint = 1,
        TopRightPoint = 2,
        RightPoint = 3,
        BottomRightPoint = 4,
        BottomPoint = 5,
        BottomLeftPoint = 6,
        LeftPoint = 7,
        CenterPoint = 8,
    };
};

namespace CropGeometry {

using MovePoint = CropMovePoints::MovePoint;

constexpr int movePointSize = 9;    // a handle's side
constexpr int movePointOffset = 6;  // how far a handle reaches outside the rectangle
constexpr int minimalCropSize = 24; // smallest side a drag can make

// Where a picture of `picture` size is shown in a client area of `client`
// size: fitted with a one-pixel margin and centred, or at its own size and
// centred (possibly cut by the edges). Empty without a picture.
wxRect CalcImagePosition(wxSize client, wxSize picture, bool scaleToFit);

// The crop rectangle on screen for the picture placed at `placement`; it
// lies one pixel inside the crop area on every side.
wxRect CalcScaledCropRect(const wxRect& crop, wxSize picture, const wxRect& placement);

// The 9 x 9 square of a handle of the screen rectangle `s`; for CenterPoint
// the whole rectangle.
wxRect CalcMovePointPosition(MovePoint point, const wxRect& s);

// The point of `s` that a handle stands for (for the edge handles only the
// coordinate across the edge matters).
wxPoint CalcMovePointDragPoint(MovePoint point, const wxRect& s);

// Handles first, in clockwise order, then the inside.
MovePoint HitTest(const wxPoint& p, const wxRect& s);

// Client position to picture pixel.
wxPoint TranslateToPicture(const wxPoint& p, wxSize picture, const wxRect& placement);

wxPoint ClipPointToRect(const wxPoint& p, const wxRect& r);

// Where the line through a1 and a2 meets the line through b1 and b2;
// (0, 0) for parallel lines.
wxPoint CalcLinesIntersectPoint(const wxPoint& a1, const wxPoint& a2, const wxPoint& b1,
                                const wxPoint& b2);

// The largest rectangle of the proportions of `rect` whose diagonal lies on
// one of `rect`'s diagonals (top-left to bottom-right when `mainDiagonal`)
// and which stays inside `bounds`.
wxRect CalcProportionalMaxCropRect(bool mainDiagonal, const wxRect& rect, const wxRect& bounds);

// The crop rectangle after the handle `point` of `current` was dragged to
// the picture pixel `target`; the opposite edges stay put and no side gets
// shorter than minimalCropSize. `proportional` keeps the proportions of
// `dragStart` for corner handles, within the picture. The result is not yet
// clipped to the picture.
wxRect MoveCropPoint(MovePoint point, wxPoint target, const wxRect& current,
                     const wxRect& dragStart, wxSize picture, bool proportional);

// `rect` confined to the picture; a rectangle that misses the picture
// entirely gives the whole picture.
wxRect ClipCropRect(const wxRect& rect, wxSize picture);

}  // namespace CropGeometry
