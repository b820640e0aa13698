// The about box's sub-controller and its architecture line.
#include "controller/aboutarchitecture.h"
#include "controller/plugaboutcontroller.h"
#include "toolkit/uiattributes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <sys/utsname.h>
#include <vector>

using namespace Steinberg::Vst;
using namespace VSTGUI;

namespace {

// Stands in for the edit controller: it keeps the list of about boxes.
class ListingController
{
public:
	using About = PlugAboutController<ListingController>;

	About* create (bool isAU = false)
	{
		auto* about = new About (this, isAU);
		list.push_back (about);
		return about;
	}
	void removeAboutController (About* about)
	{
		auto it = std::find (list.begin (), list.end (), about);
		if (it != list.end ())
			list.erase (it);
	}

	std::vector<About*> list;
};

std::string expectedArchitecture ()
{
	utsname names {};
	uname (&names);
	return std::string (names.machine) + "-" + names.sysname;
}

std::string infoLine (const char* format)
{
	return std::string ("1.0.0, ") + format + " " + expectedArchitecture () + "  ";
}

class AboutControllerTest : public ::testing::Test
{
protected:
	void SetUp () override
	{
		button = VSTGUI::owned (new COnOffButton (CRect (0, 0, 10, 10)));
		label = VSTGUI::owned (new CTextLabel (CRect (0, 10, 100, 30), "stale"));
	}

	void click ()
	{
		CPoint where (5, 5);
		button->onMouseDown (where, CButtonState (kLButton));
	}
	std::string shown () const { return label->getText ().getString (); }

	ListingController controller;
	SharedPointer<COnOffButton> button;
	SharedPointer<CTextLabel> label;
	UIAttributes attributes;
};

} // namespace

TEST (AboutArchitecture, EveryOutcomeOfTheTranslationQuery)
{
	EXPECT_EQ (architectureFromTranslationQuery ({-1, ENOENT, 0}), "x86_64-macOS");
	EXPECT_EQ (architectureFromTranslationQuery ({-1, EPERM, 2}), "unknown");
	EXPECT_EQ (architectureFromTranslationQuery ({-1, ENOMEM, 0}), "unknown");
	EXPECT_EQ (architectureFromTranslationQuery ({0, 0, 2}), "x86_64-macOS");
	EXPECT_EQ (architectureFromTranslationQuery ({0, 0, 1}), "arm64-macOS (T)");
	EXPECT_EQ (architectureFromTranslationQuery ({0, 0, 0}), "arm64-macOS");
	EXPECT_EQ (architectureFromTranslationQuery ({0, 0, 3}), "unknown");
	EXPECT_EQ (architectureFromTranslationQuery ({0, 0, -1}), "unknown");
	// Any result but -1 counts as success, whatever errno holds.
	EXPECT_EQ (architectureFromTranslationQuery ({1, ENOENT, 0}), "arm64-macOS");
}

TEST (AboutArchitecture, OnLinuxTheMachineItRunsOn)
{
	EXPECT_EQ (currentArchitecture (), expectedArchitecture ());
}

TEST_F (AboutControllerTest, ButtonBeforeLabel)
{
	auto* about = controller.create ();
	EXPECT_EQ (about->verifyView (button, attributes, nullptr), button.get ());
	button->setValue (1.f);
	about->valueChanged (button);  // no label yet: nothing shown, no crash
	EXPECT_EQ (about->verifyView (label, attributes, nullptr), label.get ());
	EXPECT_EQ (shown (), "");  // cleared although the button is on

	click ();  // off
	EXPECT_EQ (shown (), "");
	click ();  // on
	EXPECT_EQ (shown (), infoLine ("VST3"));
	delete about;
}

TEST_F (AboutControllerTest, LabelBeforeButton)
{
	auto* about = controller.create ();
	about->verifyView (label, attributes, nullptr);
	EXPECT_EQ (shown (), "");
	button->setValue (1.f);
	about->verifyView (button, attributes, nullptr);
	EXPECT_EQ (shown (), infoLine ("VST3"));
	click ();
	EXPECT_EQ (shown (), "");
	click ();
	EXPECT_EQ (shown (), infoLine ("VST3"));
	// The line ends in two blanks (the two empty extra fields).
	EXPECT_EQ (shown ().substr (shown ().size () - 2), "  ");
	EXPECT_NE (shown ()[shown ().size () - 3], ' ');
	delete about;
}

TEST_F (AboutControllerTest, AudioUnitFormatAndOtherControls)
{
	auto* about = controller.create (true);
	about->verifyView (label, attributes, nullptr);
	about->verifyView (button, attributes, nullptr);
	click ();
	EXPECT_EQ (shown (), infoLine ("AU"));
	EXPECT_EQ (about->getVersion (), "1.0.0");

	// Another control changing, or no control at all, changes nothing.
	auto other = VSTGUI::owned (new COnOffButton (CRect (0, 0, 10, 10)));
	other->setValue (0.f);
	about->valueChanged (other);
	about->valueChanged (nullptr);
	EXPECT_EQ (shown (), infoLine ("AU"));
	EXPECT_EQ (about->verifyView (nullptr, attributes, nullptr), nullptr);
	delete about;
}

TEST_F (AboutControllerTest, DestructionLeavesTheViewsAndTheListClean)
{
	auto* first = controller.create ();
	auto* second = controller.create ();
	first->verifyView (label, attributes, nullptr);
	first->verifyView (button, attributes, nullptr);
	delete first;
	ASSERT_EQ (controller.list.size (), 1u);
	EXPECT_EQ (controller.list[0], second);

	// The views no longer reach the deleted object.
	click ();
	EXPECT_EQ (shown (), "");
	delete second;
	EXPECT_TRUE (controller.list.empty ());
}

TEST_F (AboutControllerTest, ViewsDeletedFirstAreForgotten)
{
	auto* about = controller.create ();
	about->verifyView (label, attributes, nullptr);
	about->verifyView (button, attributes, nullptr);
	label = nullptr;   // the label goes: forgotten through viewWillDelete
	click ();          // the button still works, no label to show on
	button = nullptr;  // the button goes too
	delete about;      // touches neither
	EXPECT_TRUE (controller.list.empty ());
}

TEST_F (AboutControllerTest, ALaterLabelReplacesTheFirst)
{
	auto* about = controller.create ();
	auto firstLabel = VSTGUI::owned (new CTextLabel (CRect (0, 0, 10, 10)));
	about->verifyView (firstLabel, attributes, nullptr);
	about->verifyView (label, attributes, nullptr);
	about->verifyView (button, attributes, nullptr);
	click ();
	EXPECT_EQ (shown (), infoLine ("VST3"));
	EXPECT_EQ (firstLabel->getText (), "");
	delete about;
	firstLabel = nullptr;  // no longer watched: no call into the deleted object
}
