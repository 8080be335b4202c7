#include "controls/CropGeometry.h"

#include <algorithm>
#include <cmath>

namespace CropGeometry {

namespace {

int Trunc(double value)
{
    return static_cast<int>(std::trunc(value));
}

bool IsCorner(MovePoint point)
{
    return point == CropMovePoints::TopLeftPoint || point == CropMovePoints::TopRightPoint
           || point == CropMovePoints::BottomRightPoint
           || point == CropMovePoints::BottomLeftPoint;
}

// Moves `target` onto the diagonal of `start` that the corner drags along,
// as far as the picture allows.
wxPoint OntoDiagonal(MovePoint point, wxPoint target, const wxRect& current,
                     const wxRect& start, wxSize picture)
{
    const wxRect bounds(wxPoint(0, 0), picture);
    const bool mainDiagonal = point == CropMovePoints::TopLeftPoint
                              || point == CropMovePoints::BottomRightPoint;
    target = ClipPointToRect(target, CalcProportionalMaxCropRect(mainDiagonal, current, bounds));
    const int rise = start.height - 1;
    const int run = start.width - 1;
    if (mainDiagonal)
        target.y = start.y + ((target.x - start.x) * rise) / run;
    else
        target.y = start.y + ((start.x + start.width - 1 - target.x) * rise) / run;
    return target;
}

}  // namespace

wxRect CalcImagePosition(wxSize client, wxSize picture, bool scaleToFit)
{
    const int bw = picture.x;
    const int bh = picture.y;
    if (bw <= 0 || bh <= 0)
        return wxRect();
    if (!scaleToFit)
        return wxRect((client.x - bw) / 2, (client.y - bh) / 2, bw, bh);

    const int aw = client.x - 2;
    const int ah = client.y - 2;
    const int fullWidthHeight = bh * aw / bw;
    int width, height, hslack = 0, vslack = 0;
    if (ah >= fullWidthHeight) {
        width = aw;
        height = fullWidthHeight;
        vslack = ah - fullWidthHeight;
    } else {
        width = bw * ah / bh;
        height = ah;
        hslack = aw - width;
    }
    return wxRect(hslack / 2 + 1, vslack / 2 + 1, width, height);
}

wxRect CalcScaledCropRect(const wxRect& crop, wxSize picture, const wxRect& placement)
{
    if (picture.x <= 0 || picture.y <= 0)
        return wxRect();
    const double sx = double(placement.width) / picture.x;
    const double sy = double(placement.height) / picture.y;
    return wxRect(Trunc(crop.x * sx) + placement.x + 1, Trunc(crop.y * sy) + placement.y + 1,
                  Trunc(crop.width * sx) - 2, Trunc(crop.height * sy) - 2);
}

wxRect CalcMovePointPosition(MovePoint point, const wxRect& s)
{
    const int size = movePointSize;
    const int left = s.x - movePointOffset;
    const int top = s.y - movePointOffset;
    const int right = s.x + s.width - size + movePointOffset - 1;
    const int bottom = s.y + s.height - size + movePointOffset - 1;
    const int middleX = s.x + (s.width - size) / 2;
    const int middleY = s.y + (s.height - size) / 2;
    switch (point) {
    case CropMovePoints::TopLeftPoint: return wxRect(left, top, size, size);
    case CropMovePoints::TopPoint: return wxRect(middleX, top, size, size);
    case CropMovePoints::TopRightPoint: return wxRect(right, top, size, size);
    case CropMovePoints::RightPoint: return wxRect(right, middleY, size, size);
    case CropMovePoints::BottomRightPoint: return wxRect(right, bottom, size, size);
    case CropMovePoints::BottomPoint: return wxRect(middleX, bottom, size, size);
    case CropMovePoints::BottomLeftPoint: return wxRect(left, bottom, size, size);
    case CropMovePoints::LeftPoint: return wxRect(left, middleY, size, size);
    case CropMovePoints::CenterPoint: return s;
    case CropMovePoints::NoPoint: break;
    }
    return wxRect();
}

wxPoint CalcMovePointDragPoint(MovePoint point, const wxRect& s)
{
    const int right = s.x + s.width - 1;
    const int bottom = s.y + s.height - 1;
    switch (point) {
    case CropMovePoints::TopLeftPoint:
    case CropMovePoints::CenterPoint: return wxPoint(s.x, s.y);
    case CropMovePoints::TopRightPoint: return wxPoint(right, s.y);
    case CropMovePoints::BottomRightPoint: return wxPoint(right, bottom);
    case CropMovePoints::BottomLeftPoint: return wxPoint(s.x, bottom);
    case CropMovePoints::TopPoint: return wxPoint(0, s.y);
    case CropMovePoints::BottomPoint: return wxPoint(0, bottom);
    case CropMovePoints::LeftPoint: return wxPoint(s.x, 0);
    case CropMovePoints::RightPoint: return wxPoint(right, 0);
    case CropMovePoints::NoPoint: break;
    }
    return wxPoint();
}

MovePoint HitTest(const wxPoint& p, const wxRect& s)
{
    for (int handle = CropMovePoints::TopLeftPoint; handle <= CropMovePoints::LeftPoint;
         ++handle) {
        MovePoint point = static_cast<MovePoint>(handle);
        if (CalcMovePointPosition(point, s).Contains(p))
            return point;
    }
    return s.Contains(p) ? CropMovePoints::CenterPoint : CropMovePoints::NoPoint;
}

wxPoint TranslateToPicture(const wxPoint& p, wxSize picture, const wxRect& placement)
{
    if (placement.width <= 0 || placement.height <= 0)
        return wxPoint();
    return wxPoint(Trunc(double(picture.x) / placement.width * (p.x - placement.x)),
                   Trunc(double(picture.y) / placement.height * (p.y - placement.y)));
}

wxPoint ClipPointToRect(const wxPoint& p, const wxRect& r)
{
    return wxPoint(std::min(std::max(p.x, r.x), r.x + r.width - 1),
                   std::min(std::max(p.y, r.y), r.y + r.height - 1));
}

wxPoint CalcLinesIntersectPoint(const wxPoint& a1, const wxPoint& a2, const wxPoint& b1,
                                const wxPoint& b2)
{
    // Slopes are taken as x per y, so vertical lines need no special case.
    const bool aHorizontal = a1.y == a2.y;
    const bool bHorizontal = b1.y == b2.y;
    if (aHorizontal && bHorizontal)
        return wxPoint();
    if (aHorizontal)
        return wxPoint(Trunc(b2.x - double(b2.x - b1.x) * (b2.y - a1.y) / (b2.y - b1.y)), a1.y);
    if (bHorizontal)
        return wxPoint(Trunc(a2.x - double(a2.x - a1.x) * (a2.y - b1.y) / (a2.y - a1.y)), b1.y);
    const double ka = double(a2.x - a1.x) / (a2.y - a1.y);
    const double kb = double(b2.x - b1.x) / (b2.y - b1.y);
    if (ka == kb)
        return wxPoint();
    const double y = ((b1.x - a1.x) + ka * a1.y - kb * b1.y) / (ka - kb);
    const double x = ka * (y - a1.y) + a1.x;
    return wxPoint(Trunc(x), Trunc(y));
}

wxRect CalcProportionalMaxCropRect(bool mainDiagonal, const wxRect& rect, const wxRect& bounds)
{
    const wxPoint from = mainDiagonal ? rect.GetTopLeft() : rect.GetTopRight();
    const wxPoint to = mainDiagonal ? rect.GetBottomRight() : rect.GetBottomLeft();
    const wxPoint r = CalcLinesIntersectPoint(from, to, bounds.GetTopRight(),
                                              bounds.GetBottomRight());
    const wxPoint b = CalcLinesIntersectPoint(from, to, bounds.GetBottomLeft(),
                                              bounds.GetBottomRight());
    const wxPoint l = CalcLinesIntersectPoint(from, to, bounds.GetTopLeft(),
                                              bounds.GetBottomLeft());
    const wxPoint t = CalcLinesIntersectPoint(from, to, bounds.GetTopLeft(),
                                              bounds.GetTopRight());
    wxPoint topLeft, bottomRight;
    if (mainDiagonal) {
        topLeft = t.x > l.x ? t : l;
        bottomRight = b.x < r.x ? b : r;
    } else {
        topLeft = wxPoint(std::max(b.x, l.x), t.x < r.x ? t.y : r.y);
        bottomRight = wxPoint(std::min(t.x, r.x), b.x > l.x ? b.y : l.y);
    }
    return wxRect(topLeft, bottomRight);
}

wxRect MoveCropPoint(MovePoint point, wxPoint target, const wxRect& current,
                     const wxRect& dragStart, wxSize picture, bool proportional)
{
    if (point == CropMovePoints::NoPoint)
        return current;
    // A start rectangle one pixel wide has no usable diagonal.
    if (proportional && IsCorner(point) && dragStart.width > 1)
        target = OntoDiagonal(point, target, current, dragStart, picture);

    const int m = minimalCropSize;
    const int cx = current.x, cy = current.y, cw = current.width, ch = current.height;
    int rx = target.x, ry = target.y;
    wxRect n = current;
    switch (point) {
    case CropMovePoints::TopLeftPoint: {
        int w = cw - (rx - cx), h = ch - (ry - cy);
        if (w < m)
            rx -= m - w;
        if (h < m)
            ry -= m - h;
        n = wxRect(rx, ry, w, h);
        break;
    }
    case CropMovePoints::TopPoint: {
        int h = ch - (ry - cy);
        if (h < m)
            ry -= m - h;
        n = wxRect(cx, ry, cw, h);
        break;
    }
    case CropMovePoints::TopRightPoint: {
        int h = ch - (ry - cy);
        if (h < m)
            ry -= m - h;
        n = wxRect(cx, ry, rx - cx + 1, h);
        break;
    }
    case CropMovePoints::RightPoint:
        n.width = rx - cx + 1;
        break;
    case CropMovePoints::BottomRightPoint:
        n.width = rx - cx + 1;
        n.height = ry - cy + 1;
        break;
    case CropMovePoints::BottomPoint:
        n.height = ry - cy + 1;
        break;
    case CropMovePoints::BottomLeftPoint: {
        int w = cw - (rx - cx);
        if (w < m)
            rx -= m - w;
        n = wxRect(rx, cy, w, ry - cy + 1);
        break;
    }
    case CropMovePoints::LeftPoint: {
        int w = cw - (rx - cx);
        if (w < m)
            rx -= m - w;
        n = wxRect(rx, cy, w, ch);
        break;
    }
    case CropMovePoints::CenterPoint:
        n.x = std::max(rx, 0);
        n.y = std::max(ry, 0);
        if (n.x + cw - 1 >= picture.x)
            n.x = picture.x - cw;
        if (n.y + ch - 1 >= picture.y)
            n.y = picture.y - ch;
        break;
    case CropMovePoints::NoPoint:
        break;
    }
    n.width = std::max(m, n.width);
    n.height = std::max(m, n.height);
    return n;
}

wxRect ClipCropRect(const wxRect& rect, wxSize picture)
{
    const wxRect whole(wxPoint(0, 0), picture);
    const int left = std::max(rect.x, 0);
    const int top = std::max(rect.y, 0);
    const int right = std::min(rect.x + rect.width, picture.x);
    const int bottom = std::min(rect.y + rect.height, picture.y);
    if (right <= left || bottom <= top)
        return whole;
    return wxRect(left, top, right - left, bottom - top);
}

}  // namespace CropGeometry
