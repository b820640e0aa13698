#include "toolkit/cview.h"
#include "toolkit/uiattributes.h"
#include "toolkit/viewcreator.h"

#include <map>
#include <vector>

namespace VSTGUI {

namespace {

using CreatorMap = std::map<std::string, const IViewCreator*>;

CreatorMap& creators ()
{
	static CreatorMap map;
	return map;
}

// The creators of a class and its base classes, most derived first. A
// missing base ends the chain; so does a chain longer than the limit.
std::vector<const IViewCreator*> creatorChain (const std::string& className)
{
	std::vector<const IViewCreator*> chain;
	const IViewCreator* creator = UIViewFactory::findViewCreator (className);
	while (creator && chain.size () < UIViewFactory::kMaxBaseClassDepth)
	{
		chain.push_back (creator);
		const char* baseName = creator->getBaseViewName ();
		creator = baseName ? UIViewFactory::findViewCreator (baseName) : nullptr;
	}
	return chain;
}

} // namespace

void UIViewFactory::registerViewCreator (const IViewCreator& creator)
{
	if (const char* name = creator.getViewName ())
		creators ()[name] = &creator;
}

void UIViewFactory::unregisterViewCreator (const IViewCreator& creator)
{
	auto& map = creators ();
	if (const char* name = creator.getViewName ())
	{
		auto it = map.find (name);
		if (it != map.end () && it->second == &creator)
			map.erase (it);
	}
}

const IViewCreator* UIViewFactory::findViewCreator (const std::string& className)
{
	const auto& map = creators ();
	auto it = map.find (className);
	return it == map.end () ? nullptr : it->second;
}

CView* UIViewFactory::createView (const UIAttributes& attributes,
                                  const IUIDescription* description) const
{
	const std::string* className = attributes.getAttributeValue (kClassAttribute);
	if (!className)
		return nullptr;
	const IViewCreator* creator = findViewCreator (*className);
	if (!creator)
		return nullptr;
	CView* view = creator->create (attributes, description);
	if (!view)
		return nullptr;
	view->setDescriptionClass (*className);
	applyAttributeValues (view, *className, attributes, description);
	return view;
}

bool UIViewFactory::applyAttributeValues (CView* view, const std::string& className,
                                          const UIAttributes& attributes,
                                          const IUIDescription* description) const
{
	if (!view)
		return false;
	const auto chain = creatorChain (className);
	if (chain.empty ())
		return false;
	bool applied = true;
	for (auto it = chain.rbegin (); it != chain.rend (); ++it)
		applied = (*it)->apply (view, attributes, description) && applied;
	return applied;
}

bool UIViewFactory::getAttributeValue (CView* view, const std::string& className,
                                       const std::string& attributeName, std::string& value,
                                       const IUIDescription* description) const
{
	if (!view)
		return false;
	for (const auto* creator : creatorChain (className))
	{
		if (creator->getAttributeValue (view, attributeName, value, description))
			return true;
	}
	return false;
}

bool UIViewFactory::getPossibleAttributeListValues (const std::string& className,
                                                    const std::string& attributeName,
                                                    ConstStringPtrList& values) const
{
	for (const auto* creator : creatorChain (className))
	{
		if (creator->getPossibleListValues (attributeName, values))
			return true;
	}
	return false;
}

} // namespace VSTGUI
