// A UI description read from the toolkit's XML format:
//
//   <vstgui-ui-description version="1">
//     <bitmaps> <bitmap name="knob" path="knob.png"/> </bitmaps>
//     <control-tags> <control-tag name="Level" tag="1"/> </control-tags>
//     <template name="view" class="CViewContainer" origin="0, 0" size="400, 300">
//       <view class="CKnob" control-tag="Level" origin="10, 10" size="32, 32"/>
//     </template>
//   </vstgui-ui-description>
//
// Templates hold nested views; each view names its class and attributes. A
// view that names a "sub-controller" gets it from the current controller,
// and its children are created under that sub-controller. Bitmap files are
// looked up beside the description file; only their sizes are read.
#pragma once

#include "cbitmap.h"
#include "iuidescription.h"
#include "uiattributes.h"
#include "viewcreator.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace VSTGUI {

class UIDescription : public IUIDescription
{
public:
	// Limits that keep hostile files from exhausting the stack or memory.
	static constexpr int kMaxNodeDepth = 64;
	static constexpr size_t kMaxNodeCount = 100000;
	static constexpr size_t kMaxFileBytes = 16 * 1024 * 1024;

	// The UI description file (an absolute path).
	explicit UIDescription (std::string filePath);
	~UIDescription () noexcept override;

	UIDescription (const UIDescription&) = delete;
	UIDescription& operator= (const UIDescription&) = delete;

	// Reads the file; false when it is missing or is no well-formed
	// description. May be called once.
	bool parse ();
	// Reads a description from memory (for the same checks as parse()).
	bool parseText (const std::string& xml);
	bool isParsed () const { return root != nullptr; }
	const std::string& getFilePath () const { return filePath; }

	// Creates the views of a template under `controller`; null when the
	// template is unknown or its root view cannot be created. The caller
	// owns the returned view (one reference).
	CView* createView (UTF8StringPtr templateName, IController* controller) const;
	// The size of a template's root view (its "size" attribute).
	bool getTemplateSize (UTF8StringPtr templateName, CPoint& size) const;
	// The names of the templates, in file order.
	std::vector<std::string> getTemplateNames () const;

	// IUIDescription
	CBitmap* getBitmap (UTF8StringPtr name) const override;
	UTF8StringPtr lookupBitmapName (const CBitmap* bitmap) const override;
	int32_t getTagForName (UTF8StringPtr name) const override;
	UTF8StringPtr lookupControlTagName (int32_t tag) const override;
	IControlListener* getControlListener (UTF8StringPtr name) const override;
	IController* getController () const override { return currentController; }
	const UIViewFactory* getViewFactory () const override { return &viewFactory; }

	// One element of the description: its name, attributes and children.
	struct Node
	{
		std::string name;
		UIAttributes attributes;
		std::vector<std::unique_ptr<Node>> children;
		Node* parent {nullptr};
	};

private:
	bool buildFromTree ();
	const Node* findTemplate (const std::string& name) const;
	CView* createViewFromNode (const Node& node, int depth) const;

	std::string filePath;
	std::unique_ptr<Node> root;
	std::map<std::string, SharedPointer<CBitmap>> bitmaps;
	std::map<std::string, int32_t> controlTags;
	UIViewFactory viewFactory;
	mutable IController* currentController {nullptr};
};

} // namespace VSTGUI
