// A bitmap: headless, only its size matters (nothing is drawn). The size of
// a PNG file is read from its header.
#pragma once

#include "cbaseobject.h"
#include "cpoint.h"

#include <string>

namespace VSTGUI {

class CBitmap : public CBaseObject
{
public:
	CBitmap (CCoord width, CCoord height) : size (width, height) {}

	CCoord getWidth () const { return size.x; }
	CCoord getHeight () const { return size.y; }
	const CPoint& getSize () const { return size; }

	// Reads the width and height from a PNG file's header; null when the
	// file is missing, unreadable or not a PNG file.
	static CBitmap* createFromPngFile (const std::string& path);

private:
	CPoint size;
};

} // namespace VSTGUI
