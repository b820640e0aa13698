#include "ui/slidercreator.h"

#include "toolkit/cbitmap.h"
#include "toolkit/csliderbase.h"
#include "toolkit/iuidescription.h"
#include "toolkit/uiattributes.h"
#include "ui/slidermode.h"

namespace VSTGUI {

namespace {

// The values of the "orientation" attribute, as every oriented view lists them.
const std::vector<std::string>& orientationStrings ()
{
	static const std::vector<std::string> strings {SliderBaseCreator::kOrientationHorizontal,
	                                               SliderBaseCreator::kOrientationVertical};
	return strings;
}

// One "orientation"/"reverse-orientation" end bit replaced by its pair's other bit.
int32_t withEnd (int32_t style, int32_t pairMask, int32_t end)
{
	return (style & ~pairMask) | end;
}

} // namespace

//------------------------------------------------------------------------
// SliderBaseCreator
//------------------------------------------------------------------------
const std::vector<std::string>& SliderBaseCreator::modeStrings ()
{
	// Index order is CSliderMode order.
	static const std::vector<std::string> strings {
	    "touch", "relative touch", "free click", "KS free click", "ramp", "use global",
	};
	return strings;
}

//------------------------------------------------------------------------
bool SliderBaseCreator::apply (CView* view, const UIAttributes& attributes,
                               const IUIDescription* /*description*/) const
{
	auto* slider = dynamic_cast<CSliderBase*> (view);
	if (!slider)
		return false;

	// The legacy switch first, so that a "mode" naming a mode overrides it.
	if (const std::string* freeClick = attributes.getAttributeValue (kAttrFreeClick))
		slider->setSliderMode (*freeClick == kTrue ? CSliderMode::FreeClick : CSliderMode::Touch);

	if (const std::string* modeName = attributes.getAttributeValue (kAttrMode))
	{
		const auto& names = modeStrings ();
		for (size_t index = 0; index < names.size (); ++index)
		{
			if (*modeName == names[index])
			{
				slider->setSliderMode (static_cast<CSliderMode> (index));
				break;
			}
		}
	}

	CPoint offset;
	if (attributes.getPointAttribute (kAttrHandleOffset, offset))
		slider->setOffsetHandle (offset);

	double zoomFactor = 0.;
	if (attributes.getDoubleAttribute (kAttrZoomFactor, zoomFactor))
		slider->setZoomFactor (static_cast<float> (zoomFactor));

	if (const std::string* orientation = attributes.getAttributeValue (kAttrOrientation))
	{
		const int32_t bit = *orientation == kOrientationVertical ? CSliderBase::kVertical
		                                                          : CSliderBase::kHorizontal;
		slider->setStyle (withEnd (slider->getStyle (), CSliderBase::kOrientationMask, bit));
	}

	if (const std::string* reverse = attributes.getAttributeValue (kAttrReverseOrientation))
	{
		const bool reversed = *reverse == kTrue;
		const int32_t style = slider->getStyle ();
		if (style & CSliderBase::kVertical)
			slider->setStyle (withEnd (style, CSliderBase::kVerticalEndMask,
			                           reversed ? CSliderBase::kTop : CSliderBase::kBottom));
		else
			slider->setStyle (withEnd (style, CSliderBase::kHorizontalEndMask,
			                           reversed ? CSliderBase::kRight : CSliderBase::kLeft));
	}
	return true;
}

//------------------------------------------------------------------------
bool SliderBaseCreator::getAttributeNames (StringList& attributeNames) const
{
	attributeNames.emplace_back (kAttrMode);
	attributeNames.emplace_back (kAttrOrientation);
	attributeNames.emplace_back (kAttrReverseOrientation);
	attributeNames.emplace_back (kAttrHandleOffset);
	attributeNames.emplace_back (kAttrZoomFactor);
	return true;
}

//------------------------------------------------------------------------
IViewCreator::AttrType SliderBaseCreator::getAttributeType (const std::string& attributeName) const
{
	if (attributeName == kAttrMode || attributeName == kAttrOrientation)
		return kListType;
	if (attributeName == kAttrReverseOrientation)
		return kBooleanType;
	if (attributeName == kAttrHandleOffset)
		return kPointType;
	if (attributeName == kAttrZoomFactor)
		return kFloatType;
	return kUnknownType;
}

//------------------------------------------------------------------------
bool SliderBaseCreator::getAttributeValue (CView* view, const std::string& attributeName,
                                           std::string& stringValue,
                                           const IUIDescription* /*description*/) const
{
	auto* slider = dynamic_cast<CSliderBase*> (view);
	if (!slider)
		return false;

	if (attributeName == kAttrMode)
	{
		// The slider's own mode: a slider following the global mode says so.
		const CSliderMode mode = slider->getSliderMode ();
		if (!isValidSliderMode (mode))
			return false;
		stringValue = modeStrings ()[static_cast<size_t> (mode)];
		return true;
	}
	if (attributeName == kAttrHandleOffset)
	{
		stringValue = UIAttributes::pointToString (slider->getOffsetHandle ());
		return true;
	}
	if (attributeName == kAttrZoomFactor)
	{
		stringValue = UIAttributes::doubleToString (slider->getZoomFactor (), kZoomFactorPrecision);
		return true;
	}
	const int32_t style = slider->getStyle ();
	if (attributeName == kAttrOrientation)
	{
		stringValue = (style & CSliderBase::kVertical) ? kOrientationVertical : kOrientationHorizontal;
		return true;
	}
	if (attributeName == kAttrReverseOrientation)
	{
		const bool reversed =
		    ((style & CSliderBase::kVertical) && (style & CSliderBase::kTop)) ||
		    ((style & CSliderBase::kHorizontal) && (style & CSliderBase::kRight));
		stringValue = reversed ? kTrue : kFalse;
		return true;
	}
	return false;
}

//------------------------------------------------------------------------
bool SliderBaseCreator::getPossibleListValues (const std::string& attributeName,
                                               ConstStringPtrList& values) const
{
	const std::vector<std::string>* list = nullptr;
	if (attributeName == kAttrMode)
		list = &modeStrings ();
	else if (attributeName == kAttrOrientation)
		list = &orientationStrings ();
	if (!list)
		return false;
	for (const auto& name : *list)
		values.push_back (&name);
	return true;
}

//------------------------------------------------------------------------
// SliderCreator
//------------------------------------------------------------------------
SliderCreator::SliderCreator ()
{
	UIViewFactory::registerViewCreator (*this);
}

//------------------------------------------------------------------------
SliderCreator::~SliderCreator () noexcept
{
	UIViewFactory::unregisterViewCreator (*this);
}

//------------------------------------------------------------------------
CView* SliderCreator::create (const UIAttributes& /*attributes*/,
                              const IUIDescription* /*description*/) const
{
	// Origin, size, tag and the rest arrive through apply.
	return new CSlider (CRect (0., 0., 0., 0.));
}

//------------------------------------------------------------------------
bool SliderCreator::apply (CView* view, const UIAttributes& attributes,
                           const IUIDescription* description) const
{
	auto* slider = dynamic_cast<CSlider*> (view);
	if (!slider)
		return false;

	if (const std::string* bitmapName = attributes.getAttributeValue (kAttrHandleBitmap))
	{
		if (description)
			slider->setHandle (description->getBitmap (bitmapName->c_str ()));
	}
	return SliderBaseCreator::apply (view, attributes, description);
}

//------------------------------------------------------------------------
bool SliderCreator::getAttributeNames (StringList& attributeNames) const
{
	SliderBaseCreator::getAttributeNames (attributeNames);
	attributeNames.emplace_back (kAttrHandleBitmap);
	return true;
}

//------------------------------------------------------------------------
IViewCreator::AttrType SliderCreator::getAttributeType (const std::string& attributeName) const
{
	if (attributeName == kAttrHandleBitmap)
		return kBitmapType;
	return SliderBaseCreator::getAttributeType (attributeName);
}

//------------------------------------------------------------------------
bool SliderCreator::getAttributeValue (CView* view, const std::string& attributeName,
                                       std::string& stringValue,
                                       const IUIDescription* description) const
{
	if (attributeName == kAttrHandleBitmap)
	{
		auto* slider = dynamic_cast<CSlider*> (view);
		if (!slider)
			return false;
		stringValue.clear ();
		if (CBitmap* handle = slider->getHandle ())
		{
			UTF8StringPtr name = description ? description->lookupBitmapName (handle) : nullptr;
			if (!name)
				return false;
			stringValue = name;
		}
		return true;
	}
	return SliderBaseCreator::getAttributeValue (view, attributeName, stringValue, description);
}

//------------------------------------------------------------------------
// The creator lives as long as the process; constructing it registers it.
const SliderCreator sliderCreator;

} // namespace VSTGUI
