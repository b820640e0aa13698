#include "toolkit/uidescription.h"

#include "toolkit/cview.h"
#include "toolkit/cviewcontainer.h"
#include "toolkit/icontroller.h"

#include <expat.h>

#include <cstring>
#include <fstream>
#include <sys/stat.h>

namespace VSTGUI {

namespace {

// Element and attribute names of the description format.
constexpr char kRootElement[] = "vstgui-ui-description";
constexpr char kBitmapsElement[] = "bitmaps";
constexpr char kBitmapElement[] = "bitmap";
constexpr char kControlTagsElement[] = "control-tags";
constexpr char kControlTagElement[] = "control-tag";
constexpr char kTemplateElement[] = "template";
constexpr char kViewElement[] = "view";
constexpr char kNameAttribute[] = "name";
constexpr char kPathAttribute[] = "path";
constexpr char kTagAttribute[] = "tag";
constexpr char kSizeAttribute[] = "size";
constexpr char kSubControllerAttribute[] = "sub-controller";

constexpr size_t kReadChunkBytes = 64 * 1024;

using Node = UIDescription::Node;

// Builds the element tree while expat reads; stops the parser on anything
// beyond the limits. No exception leaves a callback (they run inside C code).
struct TreeBuilder
{
	XML_Parser parser {nullptr};
	std::unique_ptr<Node> root;
	Node* current {nullptr};
	int depth {0};
	size_t nodeCount {0};
	bool failed {false};

	void fail ()
	{
		failed = true;
		XML_StopParser (parser, XML_FALSE);
	}

	static void XMLCALL startElement (void* userData, const XML_Char* name, const XML_Char** atts)
	{
		auto& self = *static_cast<TreeBuilder*> (userData);
		if (self.failed)
			return;
		if (++self.depth > UIDescription::kMaxNodeDepth || ++self.nodeCount > UIDescription::kMaxNodeCount ||
		    (!self.current && self.root))
		{
			self.fail ();
			return;
		}
		try
		{
			auto node = std::make_unique<Node> ();
			node->name = name;
			for (size_t i = 0; atts[i] && atts[i + 1]; i += 2)
				node->attributes.setAttribute (atts[i], atts[i + 1]);
			node->parent = self.current;
			Node* added = node.get ();
			if (self.current)
				self.current->children.push_back (std::move (node));
			else
				self.root = std::move (node);
			self.current = added;
		}
		catch (...)
		{
			self.fail ();
		}
	}

	static void XMLCALL endElement (void* userData, const XML_Char* /*name*/)
	{
		auto& self = *static_cast<TreeBuilder*> (userData);
		if (self.failed || !self.current)
			return;
		self.current = self.current->parent;
		--self.depth;
	}

	// Entity declarations are never needed; refusing them rules out entity
	// expansion attacks altogether.
	static void XMLCALL entityDeclaration (void* userData, const XML_Char*, int, const XML_Char*,
	                                       int, const XML_Char*, const XML_Char*, const XML_Char*,
	                                       const XML_Char*)
	{
		static_cast<TreeBuilder*> (userData)->fail ();
	}
};

// Parses a whole document held in chunks delivered by `read`; returns the
// root element or null.
template <typename ReadChunk>
std::unique_ptr<Node> parseDocument (ReadChunk&& read)
{
	TreeBuilder builder;
	builder.parser = XML_ParserCreate (nullptr);
	if (!builder.parser)
		return nullptr;
	XML_SetUserData (builder.parser, &builder);
	XML_SetElementHandler (builder.parser, &TreeBuilder::startElement, &TreeBuilder::endElement);
	XML_SetEntityDeclHandler (builder.parser, &TreeBuilder::entityDeclaration);

	bool ok = true;
	std::string chunk;
	for (;;)
	{
		bool last = false;
		if (!read (chunk, last))
		{
			ok = false;
			break;
		}
		if (XML_Parse (builder.parser, chunk.data (), static_cast<int> (chunk.size ()),
		               last ? XML_TRUE : XML_FALSE) != XML_STATUS_OK)
		{
			ok = false;
			break;
		}
		if (last)
			break;
	}
	XML_ParserFree (builder.parser);
	if (!ok || builder.failed || builder.current)
		return nullptr;
	return std::move (builder.root);
}

std::string folderOf (const std::string& path)
{
	const auto slash = path.rfind ('/');
	return slash == std::string::npos ? std::string () : path.substr (0, slash + 1);
}

// A bitmap path must stay beside the description: relative, without "..".
bool isSafeRelativePath (const std::string& path)
{
	if (path.empty () || path.front () == '/' || path.find ('\0') != std::string::npos)
		return false;
	size_t start = 0;
	while (start <= path.size ())
	{
		size_t end = path.find ('/', start);
		if (end == std::string::npos)
			end = path.size ();
		if (path.compare (start, end - start, "..") == 0 && end - start == 2)
			return false;
		start = end + 1;
	}
	return true;
}

bool isRegularFile (const std::string& path)
{
	struct stat info {};
	return ::stat (path.c_str (), &info) == 0 && S_ISREG (info.st_mode);
}

} // namespace

UIDescription::UIDescription (std::string filePath) : filePath (std::move (filePath)) {}

UIDescription::~UIDescription () noexcept = default;

bool UIDescription::parse ()
{
	if (root || !isRegularFile (filePath))
		return false;
	try
	{
		std::ifstream file (filePath, std::ios::binary);
		if (!file)
			return false;
		size_t total = 0;
		root = parseDocument ([&] (std::string& chunk, bool& last) {
			chunk.resize (kReadChunkBytes);
			file.read (&chunk[0], static_cast<std::streamsize> (chunk.size ()));
			chunk.resize (static_cast<size_t> (file.gcount ()));
			if (file.bad ())
				return false;
			total += chunk.size ();
			last = file.eof () || chunk.empty ();
			return total <= kMaxFileBytes;
		});
		if (root && !buildFromTree ())
			root.reset ();
	}
	catch (...)
	{
		root.reset ();
	}
	return root != nullptr;
}

bool UIDescription::parseText (const std::string& xml)
{
	if (root || xml.size () > kMaxFileBytes)
		return false;
	try
	{
		bool delivered = false;
		root = parseDocument ([&] (std::string& chunk, bool& last) {
			chunk = delivered ? std::string () : xml;
			delivered = true;
			last = true;
			return true;
		});
		if (root && !buildFromTree ())
			root.reset ();
	}
	catch (...)
	{
		root.reset ();
	}
	return root != nullptr;
}

bool UIDescription::buildFromTree ()
{
	if (root->name != kRootElement)
		return false;

	const std::string folder = folderOf (filePath);
	for (const auto& section : root->children)
	{
		if (section->name == kBitmapsElement)
		{
			for (const auto& entry : section->children)
			{
				const std::string* name = entry->attributes.getAttributeValue (kNameAttribute);
				const std::string* path = entry->attributes.getAttributeValue (kPathAttribute);
				if (entry->name != kBitmapElement || !name || !path || !isSafeRelativePath (*path))
					continue;
				const std::string file = folder + *path;
				// A missing or unreadable bitmap is left out; views naming it get none.
				if (isRegularFile (file))
				{
					if (CBitmap* bitmap = CBitmap::createFromPngFile (file))
						bitmaps[*name] = owned (bitmap);
				}
			}
		}
		else if (section->name == kControlTagsElement)
		{
			for (const auto& entry : section->children)
			{
				const std::string* name = entry->attributes.getAttributeValue (kNameAttribute);
				int32_t tag = -1;
				if (entry->name != kControlTagElement || !name || name->empty () ||
				    !entry->attributes.getIntegerAttribute (kTagAttribute, tag))
					continue;
				controlTags[*name] = tag;
			}
		}
		// Other sections (templates, fonts, colours, ...) are used as they stand or ignored.
	}
	return true;
}

const UIDescription::Node* UIDescription::findTemplate (const std::string& name) const
{
	if (!root)
		return nullptr;
	for (const auto& node : root->children)
	{
		if (node->name != kTemplateElement)
			continue;
		const std::string* templateName = node->attributes.getAttributeValue (kNameAttribute);
		if (templateName && *templateName == name)
			return node.get ();
	}
	return nullptr;
}

std::vector<std::string> UIDescription::getTemplateNames () const
{
	std::vector<std::string> names;
	if (!root)
		return names;
	for (const auto& node : root->children)
	{
		const std::string* name = node->attributes.getAttributeValue (kNameAttribute);
		if (node->name == kTemplateElement && name)
			names.push_back (*name);
	}
	return names;
}

bool UIDescription::getTemplateSize (UTF8StringPtr templateName, CPoint& size) const
{
	const Node* node = templateName ? findTemplate (templateName) : nullptr;
	return node && node->attributes.getPointAttribute (kSizeAttribute, size);
}

CView* UIDescription::createView (UTF8StringPtr templateName, IController* controller) const
{
	const Node* node = templateName ? findTemplate (templateName) : nullptr;
	if (!node)
		return nullptr;
	IController* previous = currentController;
	currentController = controller;
	CView* view = nullptr;
	try
	{
		view = createViewFromNode (*node, 0);
	}
	catch (...)
	{
		view = nullptr;
	}
	currentController = previous;
	return view;
}

CView* UIDescription::createViewFromNode (const Node& node, int depth) const
{
	if (depth > kMaxNodeDepth)
		return nullptr;
	const UIAttributes& attributes = node.attributes;

	// Declared before the sub-controller so that, on every way out, an
	// unused sub-controller is deleted before the views it may watch.
	SharedPointer<CView> holder;

	// A view naming a sub-controller gets it from the current controller;
	// it and its children are then created under the sub-controller.
	std::unique_ptr<IController> subController;
	if (const std::string* name = attributes.getAttributeValue (kSubControllerAttribute))
	{
		if (currentController)
			subController.reset (currentController->createSubController (name->c_str (), this));
	}
	IController* const outerController = currentController;
	struct ControllerRestore
	{
		IController*& current;
		IController* saved;
		~ControllerRestore () { current = saved; }
	} restore {currentController, outerController};
	if (subController)
		currentController = subController.get ();

	CView* view = currentController ? currentController->createView (attributes, this) : nullptr;
	if (!view)
		view = viewFactory.createView (attributes, this);
	if (!view)
		return nullptr;  // unknown class: the view and its children are skipped

	holder = owned (view);
	if (auto* container = dynamic_cast<CViewContainer*> (view))
	{
		for (const auto& child : node.children)
		{
			if (child->name != kViewElement)
				continue;
			if (CView* childView = createViewFromNode (*child, depth + 1))
			{
				if (!container->addView (childView))
					childView->forget ();
			}
		}
	}

	if (currentController)
	{
		CView* verified = currentController->verifyView (view, attributes, this);
		if (verified != view)
		{
			// The controller replaced the view (or dropped it, with null).
			holder = owned (verified);
			view = verified;
		}
	}
	if (!view)
		return nullptr;
	if (subController)
		view->setSubController (subController.release ());
	view->remember ();  // the caller's reference; `holder` drops its own
	return view;
}

CBitmap* UIDescription::getBitmap (UTF8StringPtr name) const
{
	if (!name)
		return nullptr;
	auto it = bitmaps.find (name);
	return it == bitmaps.end () ? nullptr : it->second.get ();
}

UTF8StringPtr UIDescription::lookupBitmapName (const CBitmap* bitmap) const
{
	if (!bitmap)
		return nullptr;
	for (const auto& entry : bitmaps)
	{
		if (entry.second.get () == bitmap)
			return entry.first.c_str ();
	}
	return nullptr;
}

int32_t UIDescription::getTagForName (UTF8StringPtr name) const
{
	if (!name)
		return -1;
	int32_t tag = -1;
	auto it = controlTags.find (name);
	if (it != controlTags.end ())
		tag = it->second;
	else if (!UIAttributes::stringToInteger (name, tag))
		return -1;
	if (currentController)
		tag = currentController->getTagForName (name, tag);
	return tag;
}

UTF8StringPtr UIDescription::lookupControlTagName (int32_t tag) const
{
	for (const auto& entry : controlTags)
	{
		if (entry.second == tag)
			return entry.first.c_str ();
	}
	return nullptr;
}

IControlListener* UIDescription::getControlListener (UTF8StringPtr name) const
{
	return currentController ? currentController->getControlListener (name) : nullptr;
}

} // namespace VSTGUI
