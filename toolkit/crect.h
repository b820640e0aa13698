// An axis-aligned rectangle: left and top inclusive, right and bottom exclusive.
#pragma once

#include "cpoint.h"

namespace VSTGUI {

struct CRect
{
	constexpr CRect () = default;
	constexpr CRect (CCoord left, CCoord top, CCoord right, CCoord bottom)
	: left (left), top (top), right (right), bottom (bottom)
	{
	}
	constexpr CRect (const CPoint& origin, const CPoint& size)
	: left (origin.x), top (origin.y), right (origin.x + size.x), bottom (origin.y + size.y)
	{
	}

	CRect& operator() (CCoord l, CCoord t, CCoord r, CCoord b)
	{
		left = l;
		top = t;
		right = r;
		bottom = b;
		return *this;
	}

	CCoord getWidth () const { return right - left; }
	CCoord getHeight () const { return bottom - top; }
	CRect& setWidth (CCoord width)
	{
		right = left + width;
		return *this;
	}
	CRect& setHeight (CCoord height)
	{
		bottom = top + height;
		return *this;
	}
	CPoint getTopLeft () const { return {left, top}; }
	CPoint getTopRight () const { return {right, top}; }
	CPoint getBottomLeft () const { return {left, bottom}; }
	CPoint getBottomRight () const { return {right, bottom}; }
	CPoint getSize () const { return {getWidth (), getHeight ()}; }
	CPoint getCenter () const { return {left + getWidth () / 2., top + getHeight () / 2.}; }
	CRect& setTopLeft (const CPoint& p)
	{
		left = p.x;
		top = p.y;
		return *this;
	}
	CRect& setSize (const CPoint& size)
	{
		right = left + size.x;
		bottom = top + size.y;
		return *this;
	}

	CRect& offset (CCoord dx, CCoord dy)
	{
		left += dx;
		right += dx;
		top += dy;
		bottom += dy;
		return *this;
	}
	CRect& offset (const CPoint& p) { return offset (p.x, p.y); }
	CRect& offsetInverse (const CPoint& p) { return offset (-p.x, -p.y); }
	CRect& moveTo (const CPoint& p) { return offset (p.x - left, p.y - top); }
	CRect& inset (CCoord dx, CCoord dy)
	{
		left += dx;
		right -= dx;
		top += dy;
		bottom -= dy;
		return *this;
	}

	// Half-open: a point on the right or bottom edge lies outside.
	bool pointInside (const CPoint& where) const
	{
		return where.x >= left && where.x < right && where.y >= top && where.y < bottom;
	}
	bool isEmpty () const { return right <= left || bottom <= top; }

	bool operator== (const CRect& other) const
	{
		return left == other.left && top == other.top && right == other.right &&
		       bottom == other.bottom;
	}
	bool operator!= (const CRect& other) const { return !(*this == other); }

	CCoord left {0.};
	CCoord top {0.};
	CCoord right {0.};
	CCoord bottom {0.};
};

} // namespace VSTGUI
