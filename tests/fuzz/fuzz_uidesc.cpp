// Fuzz target: the UI description reader with arbitrary XML and attribute
// values. The text is parsed as if it were the bundle's "plug.uidesc" (so
// bitmap paths resolve beside the real one); every template is then built
// into views under a controller that hands out a sub-controller for any name
// the layout asks for, and the views are placed in a frame and released.
// Properties: no crash, no leak, no hang, no sanitizer report; a template
// that is built has a root view.
#include "fuzz/fuzzcheck.h"

#include "toolkit/cframe.h"
#include "toolkit/cview.h"
#include "toolkit/icontroller.h"
#include "toolkit/uidescription.h"

#include <cstdint>
#include <string>

using namespace VSTGUI;

namespace {

constexpr size_t kMaxTemplatesBuilt = 8;

// Answers every sub-controller request with another controller of its own
// kind, which the view that asked for it owns and deletes.
class AnyController : public IController
{
public:
	void valueChanged (CControl* /*control*/) override {}
	IController* createSubController (UTF8StringPtr name, const IUIDescription* /*description*/) override
	{
		return (name && *name) ? new AnyController : nullptr;
	}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
	const std::string xml (reinterpret_cast<const char*> (data), size);
	UIDescription description (std::string (CALVIR_SOURCE_DIR) + "/resource/plug.uidesc");
	if (!description.parseText (xml))
	{
		FUZZ_CHECK (!description.isParsed ());
		return 0;
	}
	AnyController controller;
	size_t built = 0;
	for (const std::string& name : description.getTemplateNames ())
	{
		if (built++ >= kMaxTemplatesBuilt)
			break;
		CPoint templateSize;
		description.getTemplateSize (name.c_str (), templateSize);
		CView* view = description.createView (name.c_str (), &controller);
		if (!view)
			continue;
		CFrame* frame = new CFrame (CRect (0, 0, 1000, 1000), nullptr);
		if (!frame->addView (view))
			view->forget ();
		frame->removeAll ();
		frame->forget ();
	}
	// Names that are no template build nothing.
	FUZZ_CHECK (description.createView ("\x01 no such template", &controller) == nullptr);
	FUZZ_CHECK (description.createView (nullptr, &controller) == nullptr);
	return 0;
}
