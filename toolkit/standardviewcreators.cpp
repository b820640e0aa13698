// The creators of the toolkit's standard views, registered with the view
// factory when the module is loaded.
#include "toolkit/cbitmap.h"
#include "toolkit/cbuttons.h"
#include "toolkit/ccontrol.h"
#include "toolkit/cknob.h"
#include "toolkit/cswitch.h"
#include "toolkit/ctextlabel.h"
#include "toolkit/cview.h"
#include "toolkit/cviewcontainer.h"
#include "toolkit/iuidescription.h"
#include "toolkit/uiattributes.h"
#include "toolkit/viewcreator.h"

#include <cmath>

namespace VSTGUI {

namespace {

// Attribute names.
constexpr char kAttrOrigin[] = "origin";
constexpr char kAttrSize[] = "size";
constexpr char kAttrBackground[] = "bitmap";
constexpr char kAttrMouseEnabled[] = "mouse-enabled";
constexpr char kAttrVisible[] = "visible";
constexpr char kAttrControlTag[] = "control-tag";
constexpr char kAttrDefaultValue[] = "default-value";
constexpr char kAttrMinValue[] = "min-value";
constexpr char kAttrMaxValue[] = "max-value";
constexpr char kAttrWheelIncValue[] = "wheel-inc-value";
constexpr char kAttrAngleStart[] = "angle-start";
constexpr char kAttrAngleRange[] = "angle-range";
constexpr char kAttrZoomFactor[] = "zoom-factor";
constexpr char kAttrTitle[] = "title";
constexpr char kAttrSubPixmaps[] = "sub-pixmaps";

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegreesPerRadian = 180. / kPi;
// Precision (significant digits) of numbers written back.
constexpr uint32_t kNumberPrecision = 6;

// A creator that registers itself for the life of the module.
class RegisteredCreator : public ViewCreatorAdapter
{
public:
	RegisteredCreator (IdStringPtr name, IdStringPtr baseName) : name (name), baseName (baseName)
	{
		UIViewFactory::registerViewCreator (*this);
	}
	~RegisteredCreator () noexcept override { UIViewFactory::unregisterViewCreator (*this); }

	IdStringPtr getViewName () const override { return name; }
	IdStringPtr getBaseViewName () const override { return baseName; }

private:
	IdStringPtr name;
	IdStringPtr baseName;
};

// Numbers outside these bounds are refused, so that every value read from a
// description converts safely to float and to integer pixel sizes.
constexpr double kMaxCoordinate = 1.e6;
constexpr double kMaxNumber = 1.e30;

bool readFloat (const UIAttributes& attributes, const char* name, float& value)
{
	double parsed = 0.;
	if (!attributes.getDoubleAttribute (name, parsed) || std::fabs (parsed) > kMaxNumber)
		return false;
	value = static_cast<float> (parsed);
	return true;
}

bool readCoordinates (const UIAttributes& attributes, const char* name, CPoint& point)
{
	CPoint parsed;
	if (!attributes.getPointAttribute (name, parsed) || std::fabs (parsed.x) > kMaxCoordinate ||
	    std::fabs (parsed.y) > kMaxCoordinate)
		return false;
	point = parsed;
	return true;
}

//------------------------------------------------------------------------
class ViewCreator : public RegisteredCreator
{
public:
	ViewCreator () : RegisteredCreator ("CView", nullptr) {}

	CView* create (const UIAttributes&, const IUIDescription*) const override
	{
		return new CView (CRect ());
	}

	bool apply (CView* view, const UIAttributes& attributes,
	            const IUIDescription* description) const override
	{
		CRect rect = view->getViewSize ();
		CPoint point;
		if (readCoordinates (attributes, kAttrOrigin, point))
			rect.moveTo (point);
		if (readCoordinates (attributes, kAttrSize, point) && point.x >= 0. && point.y >= 0.)
			rect.setSize (point);
		view->setViewSize (rect, false);

		if (const std::string* name = attributes.getAttributeValue (kAttrBackground))
			view->setBackground (description ? description->getBitmap (name->c_str ()) : nullptr);
		bool flag = false;
		if (attributes.getBooleanAttribute (kAttrMouseEnabled, flag))
			view->setMouseEnabled (flag);
		if (attributes.getBooleanAttribute (kAttrVisible, flag))
			view->setVisible (flag);
		return true;
	}

	bool getAttributeNames (StringList& names) const override
	{
		names.insert (names.end (), {kAttrOrigin, kAttrSize, kAttrBackground, kAttrMouseEnabled,
		                             kAttrVisible});
		return true;
	}

	AttrType getAttributeType (const std::string& name) const override
	{
		if (name == kAttrOrigin || name == kAttrSize)
			return kPointType;
		if (name == kAttrBackground)
			return kBitmapType;
		if (name == kAttrMouseEnabled || name == kAttrVisible)
			return kBooleanType;
		return kUnknownType;
	}

	bool getAttributeValue (CView* view, const std::string& name, std::string& value,
	                        const IUIDescription* description) const override
	{
		if (name == kAttrOrigin)
			value = UIAttributes::pointToString (view->getViewSize ().getTopLeft ());
		else if (name == kAttrSize)
			value = UIAttributes::pointToString (view->getViewSize ().getSize ());
		else if (name == kAttrMouseEnabled)
			value = UIAttributes::boolToString (view->getMouseEnabled ());
		else if (name == kAttrVisible)
			value = UIAttributes::boolToString (view->isVisible ());
		else if (name == kAttrBackground)
		{
			const char* bitmapName =
			    description ? description->lookupBitmapName (view->getBackground ()) : nullptr;
			value = bitmapName ? bitmapName : "";
		}
		else
			return false;
		return true;
	}
};

//------------------------------------------------------------------------
class ViewContainerCreator : public RegisteredCreator
{
public:
	ViewContainerCreator () : RegisteredCreator ("CViewContainer", "CView") {}

	CView* create (const UIAttributes&, const IUIDescription*) const override
	{
		return new CViewContainer (CRect ());
	}
};

//------------------------------------------------------------------------
// Attributes of every control; no view of its own.
class ControlCreator : public RegisteredCreator
{
public:
	ControlCreator () : RegisteredCreator ("CControl", "CView") {}

	bool apply (CView* view, const UIAttributes& attributes,
	            const IUIDescription* description) const override
	{
		auto* control = dynamic_cast<CControl*> (view);
		if (!control)
			return false;

		if (const std::string* tagName = attributes.getAttributeValue (kAttrControlTag))
		{
			const int32_t tag =
			    (description && !tagName->empty ()) ? description->getTagForName (tagName->c_str ()) : -1;
			if (tag != -1)
				control->setListener (description->getControlListener (tagName->c_str ()));
			control->setTag (tag);
		}
		float number = 0.f;
		if (readFloat (attributes, kAttrMinValue, number))
			control->setMin (number);
		if (readFloat (attributes, kAttrMaxValue, number))
			control->setMax (number);
		if (readFloat (attributes, kAttrDefaultValue, number))
			control->setDefaultValue (number);
		if (readFloat (attributes, kAttrWheelIncValue, number))
			control->setWheelInc (number);
		control->bounceValue ();
		return true;
	}

	bool getAttributeNames (StringList& names) const override
	{
		names.insert (names.end (), {kAttrControlTag, kAttrDefaultValue, kAttrMinValue,
		                             kAttrMaxValue, kAttrWheelIncValue});
		return true;
	}

	AttrType getAttributeType (const std::string& name) const override
	{
		if (name == kAttrControlTag)
			return kTagType;
		if (name == kAttrDefaultValue || name == kAttrMinValue || name == kAttrMaxValue ||
		    name == kAttrWheelIncValue)
			return kFloatType;
		return kUnknownType;
	}

	bool getAttributeValue (CView* view, const std::string& name, std::string& value,
	                        const IUIDescription* description) const override
	{
		auto* control = dynamic_cast<CControl*> (view);
		if (!control)
			return false;
		if (name == kAttrControlTag)
		{
			const char* tagName = description ? description->lookupControlTagName (control->getTag ()) : nullptr;
			value = tagName ? tagName : (control->getTag () == -1 ? "" : std::to_string (control->getTag ()));
		}
		else if (name == kAttrDefaultValue)
			value = UIAttributes::doubleToString (control->getDefaultValue (), kNumberPrecision);
		else if (name == kAttrMinValue)
			value = UIAttributes::doubleToString (control->getMin (), kNumberPrecision);
		else if (name == kAttrMaxValue)
			value = UIAttributes::doubleToString (control->getMax (), kNumberPrecision);
		else if (name == kAttrWheelIncValue)
			value = UIAttributes::doubleToString (control->getWheelInc (), kNumberPrecision);
		else
			return false;
		return true;
	}
};

//------------------------------------------------------------------------
class KnobCreator : public RegisteredCreator
{
public:
	KnobCreator () : RegisteredCreator ("CKnob", "CControl") {}

	CView* create (const UIAttributes&, const IUIDescription*) const override
	{
		return new CKnob (CRect ());
	}

	bool apply (CView* view, const UIAttributes& attributes, const IUIDescription*) const override
	{
		auto* knob = dynamic_cast<CKnobBase*> (view);
		if (!knob)
			return false;
		float number = 0.f;
		if (readFloat (attributes, kAttrAngleStart, number))
			knob->setStartAngle (static_cast<float> (number / kDegreesPerRadian));
		if (readFloat (attributes, kAttrAngleRange, number))
			knob->setRangeAngle (static_cast<float> (number / kDegreesPerRadian));
		if (readFloat (attributes, kAttrZoomFactor, number) && number > 0.f)
			knob->setZoomFactor (number);
		return true;
	}

	bool getAttributeNames (StringList& names) const override
	{
		names.insert (names.end (), {kAttrAngleStart, kAttrAngleRange, kAttrZoomFactor});
		return true;
	}

	AttrType getAttributeType (const std::string& name) const override
	{
		if (name == kAttrAngleStart || name == kAttrAngleRange || name == kAttrZoomFactor)
			return kFloatType;
		return kUnknownType;
	}

	bool getAttributeValue (CView* view, const std::string& name, std::string& value,
	                        const IUIDescription*) const override
	{
		auto* knob = dynamic_cast<CKnobBase*> (view);
		if (!knob)
			return false;
		if (name == kAttrAngleStart)
			value = UIAttributes::doubleToString (knob->getStartAngle () * kDegreesPerRadian, kNumberPrecision);
		else if (name == kAttrAngleRange)
			value = UIAttributes::doubleToString (knob->getRangeAngle () * kDegreesPerRadian, kNumberPrecision);
		else if (name == kAttrZoomFactor)
			value = UIAttributes::doubleToString (knob->getZoomFactor (), kNumberPrecision);
		else
			return false;
		return true;
	}
};

//------------------------------------------------------------------------
class OnOffButtonCreator : public RegisteredCreator
{
public:
	OnOffButtonCreator () : RegisteredCreator ("COnOffButton", "CControl") {}

	CView* create (const UIAttributes&, const IUIDescription*) const override
	{
		return new COnOffButton (CRect ());
	}
};

//------------------------------------------------------------------------
class TextLabelCreator : public RegisteredCreator
{
public:
	TextLabelCreator () : RegisteredCreator ("CTextLabel", "CControl") {}

	CView* create (const UIAttributes&, const IUIDescription*) const override
	{
		return new CTextLabel (CRect ());
	}

	bool apply (CView* view, const UIAttributes& attributes, const IUIDescription*) const override
	{
		auto* label = dynamic_cast<CTextLabel*> (view);
		if (!label)
			return false;
		if (const std::string* title = attributes.getAttributeValue (kAttrTitle))
			label->setText (*title);
		return true;
	}

	bool getAttributeNames (StringList& names) const override
	{
		names.push_back (kAttrTitle);
		return true;
	}

	AttrType getAttributeType (const std::string& name) const override
	{
		return name == kAttrTitle ? kStringType : kUnknownType;
	}

	bool getAttributeValue (CView* view, const std::string& name, std::string& value,
	                        const IUIDescription*) const override
	{
		auto* label = dynamic_cast<CTextLabel*> (view);
		if (!label || name != kAttrTitle)
			return false;
		value = label->getText ().getString ();
		return true;
	}
};

//------------------------------------------------------------------------
template <typename Switch>
class SwitchCreator : public RegisteredCreator
{
public:
	explicit SwitchCreator (IdStringPtr name) : RegisteredCreator (name, "CControl") {}

	CView* create (const UIAttributes&, const IUIDescription*) const override
	{
		return new Switch (CRect ());
	}

	bool apply (CView* view, const UIAttributes& attributes, const IUIDescription*) const override
	{
		auto* control = dynamic_cast<Switch*> (view);
		if (!control)
			return false;
		int32_t count = 0;
		if (attributes.getIntegerAttribute (kAttrSubPixmaps, count))
			control->setNumPositions (count);
		return true;
	}

	bool getAttributeNames (StringList& names) const override
	{
		names.push_back (kAttrSubPixmaps);
		return true;
	}

	AttrType getAttributeType (const std::string& name) const override
	{
		return name == kAttrSubPixmaps ? kIntegerType : kUnknownType;
	}

	bool getAttributeValue (CView* view, const std::string& name, std::string& value,
	                        const IUIDescription*) const override
	{
		auto* control = dynamic_cast<Switch*> (view);
		if (!control || name != kAttrSubPixmaps)
			return false;
		value = std::to_string (control->getNumPositions ());
		return true;
	}
};

const ViewCreator viewCreator;
const ViewContainerCreator viewContainerCreator;
const ControlCreator controlCreator;
const KnobCreator knobCreator;
const OnOffButtonCreator onOffButtonCreator;
const TextLabelCreator textLabelCreator;
const SwitchCreator<CVerticalSwitch> verticalSwitchCreator ("CVerticalSwitch");
const SwitchCreator<CHorizontalSwitch> horizontalSwitchCreator ("CHorizontalSwitch");

} // namespace

} // namespace VSTGUI
