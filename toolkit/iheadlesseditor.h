// Driving an editor without a window. There is no drawing back end here, so
// the editor reports no platform type; a host or test that wants its views
// queries this interface from the editor's IPlugView and opens it headless.
// Only plain types cross it, so it works across the module boundary.
#pragma once

#include "pluginterfaces/base/funknown.h"

namespace VSTGUI {

// One view of an open editor, in frame coordinates.
struct HeadlessViewInfo
{
	Steinberg::char8 viewClass[64];  // the class name in the UI description
	Steinberg::char8 text[256];      // a text label's UTF-8 text, else empty
	Steinberg::int32 depth;          // 1 for children of the root view
	Steinberg::int32 isControl;      // 1 for controls, else 0
	Steinberg::int32 tag;            // the control tag, -1 when none
	Steinberg::int32 hasSubController;
	double left, top, right, bottom;
	double valueNormalized;          // controls only
	double defaultValueNormalized;   // controls only
};

class IHeadlessEditor : public Steinberg::FUnknown
{
public:
	// Builds the views from the UI description: kResultOk, or kResultFalse
	// when the description is missing or malformed (no views then).
	virtual Steinberg::tresult PLUGIN_API openHeadless () = 0;
	// Deletes the views and sub-controllers; kResultFalse when not open.
	virtual Steinberg::tresult PLUGIN_API closeHeadless () = 0;
	virtual Steinberg::TBool PLUGIN_API isOpenHeadless () = 0;

	// The knob mode that the editor's knobs follow.
	virtual Steinberg::int32 PLUGIN_API getKnobMode () = 0;

	// The views below the root, depth first in description order.
	virtual Steinberg::int32 PLUGIN_API countViews () = 0;
	virtual Steinberg::tresult PLUGIN_API getViewInfo (Steinberg::int32 index,
	                                                   HeadlessViewInfo* info) = 0;
	// An attribute of a view as its creators write it back (UTF-8, 0-terminated).
	virtual Steinberg::tresult PLUGIN_API getViewAttribute (Steinberg::int32 index,
	                                                        const Steinberg::char8* name,
	                                                        Steinberg::char8* buffer,
	                                                        Steinberg::int32 bufferSize) = 0;

	// Mouse events in frame coordinates with the toolkit's button bits;
	// the result is the toolkit's mouse-event result.
	virtual Steinberg::int32 PLUGIN_API mouseDown (double x, double y, Steinberg::int32 buttons) = 0;
	virtual Steinberg::int32 PLUGIN_API mouseMoved (double x, double y, Steinberg::int32 buttons) = 0;
	virtual Steinberg::int32 PLUGIN_API mouseUp (double x, double y, Steinberg::int32 buttons) = 0;
	virtual Steinberg::int32 PLUGIN_API mouseCancel () = 0;
	virtual Steinberg::TBool PLUGIN_API mouseWheel (double x, double y, float distance,
	                                               Steinberg::int32 buttons) = 0;

	// Moves the toolkit's timer clock on (the headless run loop).
	virtual void PLUGIN_API advanceTime (Steinberg::uint32 milliseconds) = 0;

	static const Steinberg::FUID iid;
};

DECLARE_CLASS_IID (IHeadlessEditor, 0x4B534845, 0x6164486C, 0x45646974, 0x6F720001)

} // namespace VSTGUI
