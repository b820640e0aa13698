// The UI description reader: templates of nested views, control tags,
// bitmaps, sub-controllers, and files that are missing or malformed.
#include "toolkit/cbitmap.h"
#include "toolkit/cbuttons.h"
#include "toolkit/ccontrol.h"
#include "toolkit/cknob.h"
#include "toolkit/ctextlabel.h"
#include "toolkit/cviewcontainer.h"
#include "toolkit/icontroller.h"
#include "toolkit/uidescription.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace VSTGUI;

namespace {

const std::string kResourceFolder = std::string (CALVIR_SOURCE_DIR) + "/resource/";

std::string wrap (const std::string& body)
{
	return "<vstgui-ui-description version=\"1\">" + body + "</vstgui-ui-description>";
}

// A controller that records the views it verifies and hands out
// sub-controllers that record theirs.
class RecordingController : public IController
{
public:
	explicit RecordingController (std::string name, std::vector<std::string>* log)
	: name (std::move (name)), log (log)
	{
	}
	~RecordingController () override { log->push_back ("delete " + name); }

	void valueChanged (CControl*) override {}
	CView* verifyView (CView* view, const UIAttributes&, const IUIDescription*) override
	{
		log->push_back (name + " verifies " + view->getDescriptionClass ());
		return view;
	}
	IController* createSubController (UTF8StringPtr subName, const IUIDescription*) override
	{
		log->push_back (name + " asked for " + subName);
		if (std::string (subName) == "Unknown")
			return nullptr;
		return new RecordingController (subName, log);
	}

	std::string name;
	std::vector<std::string>* log;
};

} // namespace

TEST (UIDescription, BuildsNestedViewsWithTagsAndAttributes)
{
	UIDescription description (kResourceFolder + "test.uidesc");
	ASSERT_TRUE (description.parseText (wrap (
	    "<control-tags><control-tag name=\"Mix\" tag=\"2\"/></control-tags>"
	    "<template name=\"view\" class=\"CViewContainer\" origin=\"0, 0\" size=\"200, 100\">"
	    "  <view class=\"CKnob\" control-tag=\"Mix\" origin=\"10, 20\" size=\"40, 40\""
	    "        min-value=\"0\" max-value=\"1\" default-value=\"0.5\" zoom-factor=\"4\"/>"
	    "  <view class=\"CKnob\" control-tag=\"7\" origin=\"60, 20\" size=\"40, 40\"/>"
	    "  <view class=\"CTextLabel\" title=\"Hello\" origin=\"0, 80\" size=\"100, 20\"/>"
	    "</template>")));
	std::vector<std::string> log;
	RecordingController controller ("editor", &log);
	auto root = owned (dynamic_cast<CViewContainer*> (description.createView ("view", &controller)));
	ASSERT_NE (root.get (), nullptr);
	EXPECT_EQ (root->getViewSize (), CRect (0, 0, 200, 100));
	ASSERT_EQ (root->getNbViews (), 3u);

	auto* knob = dynamic_cast<CKnob*> (root->getView (0));
	ASSERT_NE (knob, nullptr);
	EXPECT_EQ (knob->getTag (), 2);
	EXPECT_EQ (knob->getListener (), &controller);
	EXPECT_EQ (knob->getViewSize (), CRect (10, 20, 50, 60));
	EXPECT_EQ (knob->getDefaultValue (), 0.5f);
	EXPECT_EQ (knob->getZoomFactor (), 4.f);
	EXPECT_EQ (dynamic_cast<CControl*> (root->getView (1))->getTag (), 7);  // a number as it stands
	EXPECT_EQ (dynamic_cast<CTextLabel*> (root->getView (2))->getText (), "Hello");

	// Every view passes the controller, children before their container.
	const std::vector<std::string> expected {"editor verifies CKnob", "editor verifies CKnob",
	                                         "editor verifies CTextLabel",
	                                         "editor verifies CViewContainer"};
	EXPECT_EQ (log, expected);

	std::string text;
	EXPECT_TRUE (description.getViewFactory ()->getAttributeValue (knob, "CKnob", "control-tag", text,
	                                                              &description));
	EXPECT_EQ (text, "Mix");
	EXPECT_TRUE (description.getViewFactory ()->getAttributeValue (knob, "CKnob", "origin", text,
	                                                              &description));
	EXPECT_EQ (text, "10, 20");
	EXPECT_FALSE (description.getViewFactory ()->getAttributeValue (knob, "CKnob", "no-such", text,
	                                                               &description));
	EXPECT_EQ (description.createView ("other", &controller), nullptr);
}

TEST (UIDescription, SkipsUnknownClassesAndAttributes)
{
	UIDescription description (kResourceFolder + "test.uidesc");
	ASSERT_TRUE (description.parseText (wrap (
	    "<fonts><font name=\"x\"/></fonts>"
	    "<template name=\"view\" class=\"CViewContainer\" size=\"100, 100\" colour=\"red\">"
	    "  <view class=\"CNoSuchView\" sub-controller=\"Sub\" origin=\"0, 0\" size=\"10, 10\">"
	    "    <view class=\"CKnob\" origin=\"0, 0\" size=\"10, 10\"/>"
	    "  </view>"
	    "  <view origin=\"0, 0\" size=\"10, 10\"/>"
	    "  <view class=\"CKnob\" origin=\"oops\" size=\"10, 10\" flavour=\"sweet\" zoom-factor=\"x\"/>"
	    "  <text>ignored</text>"
	    "</template>")));
	std::vector<std::string> log;
	{
		RecordingController controller ("editor", &log);
		auto root = owned (dynamic_cast<CViewContainer*> (description.createView ("view", &controller)));
		ASSERT_NE (root.get (), nullptr);
		ASSERT_EQ (root->getNbViews (), 1u);
		auto* knob = dynamic_cast<CKnob*> (root->getView (0));
		ASSERT_NE (knob, nullptr);
		EXPECT_EQ (knob->getViewSize (), CRect (0, 0, 10, 10));
		EXPECT_EQ (knob->getZoomFactor (), 10.f);
	}
	// The unknown view's sub-controller was created and deleted with it.
	EXPECT_EQ (log[0], "editor asked for Sub");
	EXPECT_EQ (log[1], "delete Sub");
}

TEST (UIDescription, ChildrenOfASubControllerViewAreCreatedUnderIt)
{
	UIDescription description (kResourceFolder + "test.uidesc");
	ASSERT_TRUE (description.parseText (wrap (
	    "<template name=\"view\" class=\"CViewContainer\" size=\"100, 100\">"
	    "  <view class=\"CViewContainer\" sub-controller=\"About\" size=\"100, 50\">"
	    "    <view class=\"COnOffButton\" size=\"10, 10\"/>"
	    "    <view class=\"CViewContainer\" sub-controller=\"Unknown\" size=\"10, 10\">"
	    "      <view class=\"CTextLabel\" size=\"10, 10\"/>"
	    "    </view>"
	    "  </view>"
	    "</template>")));
	std::vector<std::string> log;
	RecordingController controller ("editor", &log);
	CView* root = description.createView ("view", &controller);
	ASSERT_NE (root, nullptr);
	const std::vector<std::string> created {
	    "editor asked for About", "About verifies COnOffButton", "About asked for Unknown",
	    "About verifies CTextLabel", "About verifies CViewContainer", "About verifies CViewContainer",
	    "editor verifies CViewContainer"};
	EXPECT_EQ (log, created);

	log.clear ();
	root->forget ();
	EXPECT_EQ (log, std::vector<std::string> {"delete About"});
}

TEST (UIDescription, ReadsBitmapSizesBesideTheFile)
{
	UIDescription description (kResourceFolder + "plug.uidesc");
	ASSERT_TRUE (description.parse ());
	CBitmap* knob = description.getBitmap ("knob");
	ASSERT_NE (knob, nullptr);
	EXPECT_EQ (knob->getSize (), CPoint (40, 40));
	EXPECT_STREQ (description.lookupBitmapName (knob), "knob");
	EXPECT_EQ (description.getBitmap ("nothing"), nullptr);
	CPoint size;
	EXPECT_TRUE (description.getTemplateSize ("view", size));
	EXPECT_EQ (size, CPoint (520, 260));
}

TEST (UIDescription, BitmapPathsMustStayBesideTheFile)
{
	UIDescription description (kResourceFolder + "test.uidesc");
	ASSERT_TRUE (description.parseText (wrap (
	    "<bitmaps>"
	    "  <bitmap name=\"up\" path=\"../resource/knob.png\"/>"
	    "  <bitmap name=\"absolute\" path=\"" + kResourceFolder + "knob.png\"/>"
	    "  <bitmap name=\"device\" path=\"/dev/zero\"/>"
	    "  <bitmap name=\"missing\" path=\"missing.png\"/>"
	    "  <bitmap name=\"fine\" path=\"knob.png\"/>"
	    "</bitmaps>")));
	EXPECT_EQ (description.getBitmap ("up"), nullptr);
	EXPECT_EQ (description.getBitmap ("absolute"), nullptr);
	EXPECT_EQ (description.getBitmap ("device"), nullptr);
	EXPECT_EQ (description.getBitmap ("missing"), nullptr);
	EXPECT_NE (description.getBitmap ("fine"), nullptr);
}

TEST (UIDescription, MalformedDescriptionsAreRefused)
{
	const std::vector<std::string> malformed {
	    "",
	    "<vstgui-ui-description>",
	    "<vstgui-ui-description></other>",
	    "<other-root/>",
	    "not xml at all",
	    wrap ("<template name=\"view\" class=\"CView\">") ,
	    // Entity expansion is refused outright.
	    "<!DOCTYPE d [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;\">]>"
	    "<vstgui-ui-description>&b;</vstgui-ui-description>",
	    "<vstgui-ui-description/><vstgui-ui-description/>",
	};
	for (const auto& text : malformed)
	{
		UIDescription description (kResourceFolder + "test.uidesc");
		EXPECT_FALSE (description.parseText (text)) << text;
		EXPECT_FALSE (description.isParsed ());
		EXPECT_EQ (description.createView ("view", nullptr), nullptr);
	}
}

TEST (UIDescription, NestingBeyondTheLimitIsRefused)
{
	std::string deep;
	for (int i = 0; i < UIDescription::kMaxNodeDepth + 10; ++i)
		deep += "<view class=\"CViewContainer\">";
	for (int i = 0; i < UIDescription::kMaxNodeDepth + 10; ++i)
		deep += "</view>";
	UIDescription tooDeep (kResourceFolder + "test.uidesc");
	EXPECT_FALSE (tooDeep.parseText (wrap ("<template name=\"view\" class=\"CViewContainer\">" + deep +
	                                       "</template>")));

	std::string nested;
	for (int i = 0; i < UIDescription::kMaxNodeDepth - 4; ++i)
		nested += "<view class=\"CViewContainer\" size=\"10, 10\">";
	for (int i = 0; i < UIDescription::kMaxNodeDepth - 4; ++i)
		nested += "</view>";
	UIDescription deepButFine (kResourceFolder + "test.uidesc");
	ASSERT_TRUE (deepButFine.parseText (wrap ("<template name=\"view\" class=\"CViewContainer\">" +
	                                          nested + "</template>")));
	CView* root = deepButFine.createView ("view", nullptr);
	ASSERT_NE (root, nullptr);
	root->forget ();
}

TEST (UIDescription, MissingOrUnreadableFilesAreRefused)
{
	UIDescription missing (kResourceFolder + "no-such-file.uidesc");
	EXPECT_FALSE (missing.parse ());
	UIDescription folder (kResourceFolder);
	EXPECT_FALSE (folder.parse ());
	UIDescription binary (kResourceFolder + "knob.png");
	EXPECT_FALSE (binary.parse ());
}
