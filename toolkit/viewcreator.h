// View creators and the view factory. A creator knows one view class by its
// name in UI descriptions ("CKnob", "CSlider", ...): it creates such views
// and applies, reads back and lists that class's own attributes. A class
// names its base class (for instance "CControl"), whose creator handles the
// inherited attributes. Creators register with the factory by class name;
// a creator defined as a static object registers in its constructor.
#pragma once

#include "vstguifwd.h"

#include <string>

namespace VSTGUI {

class IViewCreator
{
public:
	virtual ~IViewCreator () noexcept = default;

	enum AttrType
	{
		kUnknownType,
		kBooleanType,
		kIntegerType,
		kFloatType,
		kStringType,
		kColorType,
		kFontType,
		kBitmapType,
		kPointType,
		kRectType,
		kTagType,
		kListType,
		kGradientType
	};

	virtual IdStringPtr getViewName () const = 0;
	// The class whose creator applies the inherited attributes; null for the root.
	virtual IdStringPtr getBaseViewName () const = 0;
	virtual UTF8StringPtr getDisplayName () const = 0;
	virtual CView* create (const UIAttributes& attributes, const IUIDescription* description) const = 0;
	virtual bool apply (CView* view, const UIAttributes& attributes,
	                    const IUIDescription* description) const = 0;
	virtual bool getAttributeNames (StringList& attributeNames) const = 0;
	virtual AttrType getAttributeType (const std::string& attributeName) const = 0;
	virtual bool getAttributeValue (CView* view, const std::string& attributeName,
	                                std::string& stringValue,
	                                const IUIDescription* description) const = 0;
	virtual bool getPossibleListValues (const std::string& attributeName,
	                                    ConstStringPtrList& values) const = 0;
	virtual bool getAttributeValueRange (const std::string& attributeName, double& minValue,
	                                     double& maxValue) const = 0;
};

// IViewCreator with neutral answers, to override only what a class needs.
class ViewCreatorAdapter : public IViewCreator
{
public:
	UTF8StringPtr getDisplayName () const override { return getViewName (); }
	CView* create (const UIAttributes&, const IUIDescription*) const override { return nullptr; }
	bool apply (CView*, const UIAttributes&, const IUIDescription*) const override { return true; }
	bool getAttributeNames (StringList&) const override { return true; }
	AttrType getAttributeType (const std::string&) const override { return kUnknownType; }
	bool getAttributeValue (CView*, const std::string&, std::string&,
	                        const IUIDescription*) const override
	{
		return false;
	}
	bool getPossibleListValues (const std::string&, ConstStringPtrList&) const override
	{
		return false;
	}
	bool getAttributeValueRange (const std::string&, double&, double&) const override
	{
		return false;
	}
};

// The registry of creators by class name and the creation of views from a
// view's attributes.
class UIViewFactory
{
public:
	// The attribute holding a view's class name in a UI description.
	static constexpr const char* kClassAttribute = "class";

	// The creator is not owned and must outlive its registration; a second
	// creator for the same class name replaces the first.
	static void registerViewCreator (const IViewCreator& creator);
	static void unregisterViewCreator (const IViewCreator& creator);
	static const IViewCreator* findViewCreator (const std::string& className);

	// Creates a view of the class that the attributes name and applies the
	// attributes of that class and of its base classes, base first. Null for
	// an unknown class or when the creator makes no view.
	CView* createView (const UIAttributes& attributes, const IUIDescription* description) const;
	// Applies the attributes of `className` and its base classes to a view.
	bool applyAttributeValues (CView* view, const std::string& className,
	                           const UIAttributes& attributes,
	                           const IUIDescription* description) const;
	// Reads an attribute back through the class's creators, most derived first.
	bool getAttributeValue (CView* view, const std::string& className,
	                        const std::string& attributeName, std::string& value,
	                        const IUIDescription* description) const;
	// Lists the possible values of a list attribute through the class's creators.
	bool getPossibleAttributeListValues (const std::string& className,
	                                     const std::string& attributeName,
	                                     ConstStringPtrList& values) const;

	// The longest chain of base classes followed; longer (or cyclic) chains end there.
	static constexpr size_t kMaxBaseClassDepth = 16;
};

} // namespace VSTGUI
