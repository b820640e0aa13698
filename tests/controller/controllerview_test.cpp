// The editor and the about-box sub-controllers that the controller creates.
#include "controller/plugaboutcontroller.h"
#include "controller/plugcontroller.h"

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivsthostapplication.h"

#include <gtest/gtest.h>

#include <string>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// A host context that may pose as the SDK's Audio Unit wrapper and counts the
// references handed out.
class CountingHostContext : public IVst3ToAUWrapper
{
public:
	explicit CountingHostContext (bool isAUWrapper) : isAUWrapper (isAUWrapper) {}

	tresult PLUGIN_API queryInterface (const TUID iid, void** obj) override
	{
		++queries;
		if (FUnknownPrivate::iidEqual (iid, FUnknown::iid) ||
		    (isAUWrapper && FUnknownPrivate::iidEqual (iid, IVst3ToAUWrapper::iid)))
		{
			addRef ();
			*obj = this;
			return kResultOk;
		}
		*obj = nullptr;
		return kNoInterface;
	}
	uint32 PLUGIN_API addRef () override { return ++refCount; }
	uint32 PLUGIN_API release () override { return --refCount; }

	const bool isAUWrapper;
	uint32 refCount {1};
	int queries {0};
};

class ControllerViewTest : public ::testing::Test
{
protected:
	void SetUp () override
	{
		controller = Steinberg::owned (new PlugController);
		ASSERT_EQ (controller->initialize (nullptr), kResultOk);
	}
	void TearDown () override
	{
		controller->terminate ();
		controller->setKnobMode (kCircularMode);
	}

	VSTGUI::IController* createAbout (const char* name)
	{
		return controller->createSubController (name, nullptr, nullptr);
	}

	IPtr<PlugController> controller;
};

} // namespace

TEST_F (ControllerViewTest, EditorViewSetsLinearKnobMode)
{
	controller->setKnobMode (kCircularMode);
	IPlugView* view = controller->createView (ViewType::kEditor);
	ASSERT_NE (view, nullptr);
	EXPECT_EQ (EditController::getHostKnobMode (), kLinearMode);

	// The editor holds the controller for its whole life.
	EXPECT_EQ (controller->addRef (), 3u);
	controller->release ();
	EXPECT_EQ (view->release (), 0u);
	EXPECT_EQ (controller->addRef (), 2u);
	controller->release ();
}

TEST_F (ControllerViewTest, OtherViewNamesGiveNoViewAndKeepTheKnobMode)
{
	controller->setKnobMode (kRelativCircularMode);
	for (const char* name : {"Editor", "EDITOR", "editor ", "", static_cast<const char*> (nullptr)})
	{
		EXPECT_EQ (controller->createView (name), nullptr) << (name ? name : "(null)");
		EXPECT_EQ (EditController::getHostKnobMode (), kRelativCircularMode);
	}
}

TEST_F (ControllerViewTest, AboutControllersAreListedInOrderOfCreation)
{
	VSTGUI::IController* first = createAbout ("AboutController");
	VSTGUI::IController* second = createAbout ("AboutController");
	ASSERT_NE (first, nullptr);
	ASSERT_NE (second, nullptr);
	ASSERT_EQ (controller->getAboutControllers ().size (), 2u);
	EXPECT_EQ (static_cast<VSTGUI::IController*> (controller->getAboutControllers ()[0]), first);
	EXPECT_EQ (static_cast<VSTGUI::IController*> (controller->getAboutControllers ()[1]), second);

	delete first;
	ASSERT_EQ (controller->getAboutControllers ().size (), 1u);
	EXPECT_EQ (static_cast<VSTGUI::IController*> (controller->getAboutControllers ()[0]), second);
	delete second;
	EXPECT_TRUE (controller->getAboutControllers ().empty ());
}

TEST_F (ControllerViewTest, OtherSubControllerNamesGiveNone)
{
	for (const char* name : {"aboutcontroller", "AboutController2", "About", "",
	                         static_cast<const char*> (nullptr)})
		EXPECT_EQ (createAbout (name), nullptr) << (name ? name : "(null)");
	EXPECT_TRUE (controller->getAboutControllers ().empty ());
}

TEST_F (ControllerViewTest, RemovingAnUnlistedControllerChangesNothing)
{
	VSTGUI::IController* about = createAbout ("AboutController");
	ASSERT_NE (about, nullptr);
	controller->removeAboutController (nullptr);
	EXPECT_EQ (controller->getAboutControllers ().size (), 1u);
	delete about;
}

TEST (ControllerHostContext, AudioUnitWrapperIsReleasedOncePerSubController)
{
	CountingHostContext host (true);
	auto controller = Steinberg::owned (new PlugController);
	ASSERT_EQ (controller->initialize (&host), kResultOk);
	const uint32 heldByController = host.refCount;

	VSTGUI::IController* first = controller->createSubController ("AboutController", nullptr, nullptr);
	VSTGUI::IController* second = controller->createSubController ("AboutController", nullptr, nullptr);
	ASSERT_NE (first, nullptr);
	ASSERT_NE (second, nullptr);
	EXPECT_EQ (host.queries, 2);
	EXPECT_EQ (host.refCount, heldByController);
	for (const auto* about : controller->getAboutControllers ())
		EXPECT_EQ (std::string (about->getFormatName ().text8 ()), "AU");

	delete first;
	delete second;
	controller->terminate ();
	EXPECT_EQ (host.refCount, 1u);
}

TEST (ControllerHostContext, OtherHostsAndNoHostStillGetAnAboutBox)
{
	CountingHostContext host (false);
	auto withHost = Steinberg::owned (new PlugController);
	ASSERT_EQ (withHost->initialize (&host), kResultOk);
	VSTGUI::IController* about = withHost->createSubController ("AboutController", nullptr, nullptr);
	ASSERT_NE (about, nullptr);
	EXPECT_EQ (host.queries, 1);
	EXPECT_EQ (std::string (withHost->getAboutControllers ()[0]->getFormatName ().text8 ()), "VST3");
	delete about;
	withHost->terminate ();
	EXPECT_EQ (host.refCount, 1u);

	auto withoutHost = Steinberg::owned (new PlugController);
	about = withoutHost->createSubController ("AboutController", nullptr, nullptr);
	ASSERT_NE (about, nullptr);
	ASSERT_EQ (withoutHost->getAboutControllers ().size (), 1u);
	EXPECT_EQ (std::string (withoutHost->getAboutControllers ()[0]->getFormatName ().text8 ()),
	           "VST3");
	delete about;
}
