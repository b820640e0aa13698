// The view creator of sliders: turns a slider's UI description attributes into
// its settings ("mode", "free-click", "handle-offset", "zoom-factor",
// "orientation", "reverse-orientation", "handle-bitmap"), reads them back as
// text and lists the possible values of its list attributes.
#pragma once

#include "toolkit/viewcreator.h"

#include <string>
#include <vector>

namespace VSTGUI {

// The attributes that every slider class shares.
class SliderBaseCreator : public ViewCreatorAdapter
{
public:
	static constexpr const char* kAttrMode = "mode";
	static constexpr const char* kAttrFreeClick = "free-click"; // legacy, read only
	static constexpr const char* kAttrOrientation = "orientation";
	static constexpr const char* kAttrReverseOrientation = "reverse-orientation";
	static constexpr const char* kAttrHandleOffset = "handle-offset";
	static constexpr const char* kAttrZoomFactor = "zoom-factor";

	static constexpr const char* kOrientationHorizontal = "horizontal";
	static constexpr const char* kOrientationVertical = "vertical";
	static constexpr const char* kTrue = "true";
	static constexpr const char* kFalse = "false";
	// Digits of precision of the zoom factor's text.
	static constexpr uint32_t kZoomFactorPrecision = 6;

	// The slider mode names; a name's index is its CSliderMode value. Built
	// once, on first use, and unchanged until the process exits.
	static const std::vector<std::string>& modeStrings ();

	bool apply (CView* view, const UIAttributes& attributes,
	            const IUIDescription* description) const override;
	bool getAttributeNames (StringList& attributeNames) const override;
	AttrType getAttributeType (const std::string& attributeName) const override;
	bool getAttributeValue (CView* view, const std::string& attributeName, std::string& stringValue,
	                        const IUIDescription* description) const override;
	bool getPossibleListValues (const std::string& attributeName,
	                            ConstStringPtrList& values) const override;
};

// The creator of "CSlider" views, registered with the view factory for the
// life of the process.
class SliderCreator : public SliderBaseCreator
{
public:
	static constexpr const char* kClassName = "CSlider";
	static constexpr const char* kBaseClassName = "CControl";
	static constexpr const char* kAttrHandleBitmap = "handle-bitmap";

	SliderCreator ();
	~SliderCreator () noexcept override;
	SliderCreator (const SliderCreator&) = delete;
	SliderCreator& operator= (const SliderCreator&) = delete;

	IdStringPtr getViewName () const override { return kClassName; }
	IdStringPtr getBaseViewName () const override { return kBaseClassName; }
	UTF8StringPtr getDisplayName () const override { return "Slider"; }
	CView* create (const UIAttributes& attributes, const IUIDescription* description) const override;
	bool apply (CView* view, const UIAttributes& attributes,
	            const IUIDescription* description) const override;
	bool getAttributeNames (StringList& attributeNames) const override;
	AttrType getAttributeType (const std::string& attributeName) const override;
	bool getAttributeValue (CView* view, const std::string& attributeName, std::string& stringValue,
	                        const IUIDescription* description) const override;
};

} // namespace VSTGUI
