// The slider creator: the "mode" attribute and its neighbours, read from UI
// description attributes, written back and listed.
#include "slidertesthelpers.h"

#include "toolkit/uiattributes.h"
#include "toolkit/viewcreator.h"
#include "ui/slidercreator.h"

#include <gtest/gtest.h>

#include <memory>

namespace CalvirTest {
namespace {

const IViewCreator& sliderCreator ()
{
	const IViewCreator* creator = UIViewFactory::findViewCreator ("CSlider");
	EXPECT_NE (creator, nullptr);
	EXPECT_NE (dynamic_cast<const SliderCreator*> (creator), nullptr);
	return *creator;
}

UIAttributes attributes (std::initializer_list<std::pair<const char*, const char*>> entries)
{
	UIAttributes result;
	for (const auto& [name, value] : entries)
		result.setAttribute (name, value);
	return result;
}

// The own mode of a slider after applying the attributes.
CSliderMode modeAfter (const UIAttributes& attrs)
{
	auto slider = makeOwned<CSlider> (CRect (0., 0., 100., 20.));
	EXPECT_TRUE (sliderCreator ().apply (slider, attrs, nullptr));
	return slider->getSliderMode ();
}

std::string readBack (CView* view, const std::string& name)
{
	std::string text = "unset";
	EXPECT_TRUE (sliderCreator ().getAttributeValue (view, name, text, nullptr)) << name;
	return text;
}

TEST (SliderCreatorMode, EveryNameSelectsItsMode)
{
	const char* names[] = {"touch", "relative touch", "free click", "KS free click", "ramp",
	                       "use global"};
	ASSERT_EQ (SliderBaseCreator::modeStrings ().size (), 6u);
	for (int index = 0; index < 6; ++index)
	{
		EXPECT_EQ (SliderBaseCreator::modeStrings ()[index], names[index]);
		EXPECT_EQ (modeAfter (attributes ({{"mode", names[index]}})), static_cast<CSliderMode> (index));
	}
	EXPECT_EQ (modeAfter (attributes ({{"mode", "KS free click"}})), CSliderMode::KSFreeClick);
	EXPECT_EQ (modeAfter (attributes ({{"mode", "ramp"}})), CSliderMode::Ramp);
	EXPECT_EQ (modeAfter (attributes ({{"mode", "use global"}})), CSliderMode::UseGlobal);
}

TEST (SliderCreatorMode, OnlyExactNamesMatch)
{
	for (const char* text : {"KS Free Click", "ks free click", "Touch", "KS  free click",
	                         "ramp ", " ramp", "3", "", "touch\n", "free-click"})
	{
		auto slider = makeOwned<CSlider> (CRect (0., 0., 100., 20.));
		slider->setSliderMode (CSliderMode::Ramp);
		EXPECT_TRUE (sliderCreator ().apply (slider, attributes ({{"mode", text}}), nullptr));
		EXPECT_EQ (slider->getSliderMode (), CSliderMode::Ramp) << '"' << text << '"';
	}
	EXPECT_EQ (modeAfter (attributes ({{"mode", "KS free clic"}})), CSliderMode::UseGlobal);
}

TEST (SliderCreatorMode, LegacyFreeClickAndModePrecedence)
{
	EXPECT_EQ (modeAfter (attributes ({{"free-click", "true"}})), CSliderMode::FreeClick);
	for (const char* other : {"false", "TRUE", "", "1", "yes"})
		EXPECT_EQ (modeAfter (attributes ({{"free-click", other}})), CSliderMode::Touch) << other;
	EXPECT_EQ (modeAfter (attributes ({{"free-click", "true"}, {"mode", "touch"}})),
	           CSliderMode::Touch);
	EXPECT_EQ (modeAfter (attributes ({{"free-click", "true"}, {"mode", "jump"}})),
	           CSliderMode::FreeClick);
	EXPECT_EQ (modeAfter (attributes ({{"free-click", "false"}, {"mode", "KS free click"}})),
	           CSliderMode::KSFreeClick);
}

TEST (SliderCreatorMode, WithoutModeWritesUseGlobalAndBehavesInTheAddedMode)
{
	auto slider = makeOwned<CSlider> (CRect (10., 20., 130., 40.), nullptr, 1,
	                                  makeOwned<CBitmap> (20., 10.));
	EXPECT_TRUE (sliderCreator ().apply (slider, attributes ({{"zoom-factor", "5"}}), nullptr));
	EXPECT_EQ (readBack (slider, "mode"), "use global");
	EXPECT_EQ (slider->getEffectiveSliderMode (), CSliderMode::KSFreeClick);

	slider->setValueNormalized (0.5f); // handle x 60..80
	mouseDown (*slider, {70., 25.});   // on the handle: grab
	EXPECT_EQ (slider->getValueNormalized (), 0.5f);
	mouseUp (*slider, {70., 25.});
	mouseDown (*slider, {110., 25.}); // off the handle: jump
	EXPECT_FLOAT_EQ (slider->getValueNormalized (), 0.91f);
}

TEST (SliderCreatorMode, ModeIsWrittenBackFromTheOwnMode)
{
	for (int index = 0; index < 6; ++index)
	{
		auto slider = makeOwned<CSlider> (CRect (0., 0., 100., 20.));
		slider->setSliderMode (static_cast<CSliderMode> (index));
		EXPECT_EQ (readBack (slider, "mode"), SliderBaseCreator::modeStrings ()[index]);
	}
}

TEST (SliderCreatorMode, ListOfModesIsAppended)
{
	const std::string first = "first", second = "second";
	ConstStringPtrList values {&first, &second};
	EXPECT_TRUE (sliderCreator ().getPossibleListValues ("mode", values));
	ASSERT_EQ (values.size (), 8u);
	auto it = values.begin ();
	EXPECT_EQ (**it++, "first");
	EXPECT_EQ (**it++, "second");
	for (const auto& name : SliderBaseCreator::modeStrings ())
		EXPECT_EQ (**it++, name);

	ConstStringPtrList orientations;
	EXPECT_TRUE (sliderCreator ().getPossibleListValues ("orientation", orientations));
	ASSERT_EQ (orientations.size (), 2u);
	EXPECT_EQ (*orientations.front (), "horizontal");
	EXPECT_EQ (*orientations.back (), "vertical");

	ConstStringPtrList none;
	EXPECT_FALSE (sliderCreator ().getPossibleListValues ("free-click", none));
	EXPECT_FALSE (sliderCreator ().getPossibleListValues ("zoom-factor", none));
	EXPECT_TRUE (none.empty ());
}

TEST (SliderCreatorMode, NonSliderIsRefused)
{
	auto view = makeOwned<CView> (CRect (0., 0., 10., 10.));
	const auto attrs = attributes ({{"mode", "ramp"}, {"orientation", "vertical"}});
	EXPECT_FALSE (sliderCreator ().apply (view, attrs, nullptr));
	EXPECT_FALSE (sliderCreator ().apply (nullptr, attrs, nullptr));
	std::string text = "kept";
	EXPECT_FALSE (sliderCreator ().getAttributeValue (view, "mode", text, nullptr));
	EXPECT_FALSE (sliderCreator ().getAttributeValue (nullptr, "mode", text, nullptr));
	EXPECT_EQ (text, "kept");
	EXPECT_EQ (view->getViewSize (), CRect (0., 0., 10., 10.));
}

TEST (SliderCreatorAttributes, UnknownNamesAndFreeClickAreNotAnswered)
{
	auto slider = makeOwned<CSlider> (CRect (0., 0., 100., 20.));
	std::string text;
	EXPECT_FALSE (sliderCreator ().getAttributeValue (slider, "free-click", text, nullptr));
	EXPECT_FALSE (sliderCreator ().getAttributeValue (slider, "colour", text, nullptr));
}

TEST (SliderCreatorAttributes, OrientationAndReverseKeepTheOtherBits)
{
	auto slider = makeOwned<CSlider> (CRect (0., 0., 20., 120.));
	EXPECT_EQ (readBack (slider, "orientation"), "horizontal");
	EXPECT_EQ (readBack (slider, "reverse-orientation"), "false");

	sliderCreator ().apply (slider, attributes ({{"orientation", "vertical"},
	                                             {"reverse-orientation", "true"}}),
	                        nullptr);
	EXPECT_EQ (slider->getStyle (), CSliderBase::kVertical | CSliderBase::kLeft | CSliderBase::kTop);
	EXPECT_EQ (readBack (slider, "orientation"), "vertical");
	EXPECT_EQ (readBack (slider, "reverse-orientation"), "true");
	EXPECT_EQ (slider->getHandleTravel (), 119.);

	sliderCreator ().apply (slider, attributes ({{"reverse-orientation", "no"}}), nullptr);
	EXPECT_EQ (slider->getStyle (),
	           CSliderBase::kVertical | CSliderBase::kLeft | CSliderBase::kBottom);
	EXPECT_EQ (readBack (slider, "reverse-orientation"), "false");

	sliderCreator ().apply (slider, attributes ({{"orientation", "Vertical"},
	                                             {"reverse-orientation", "true"}}),
	                        nullptr);
	EXPECT_EQ (slider->getStyle (), CSliderBase::kHorizontal | CSliderBase::kRight |
	                                    CSliderBase::kBottom);
	EXPECT_EQ (readBack (slider, "reverse-orientation"), "true");
}

TEST (SliderCreatorAttributes, HandleOffsetAndZoomFactor)
{
	auto slider = makeOwned<CSlider> (CRect (0., 0., 100., 20.));
	sliderCreator ().apply (slider, attributes ({{"handle-offset", "3, 4"}, {"zoom-factor", "2.5"}}),
	                        nullptr);
	EXPECT_EQ (slider->getOffsetHandle (), CPoint (3., 4.));
	EXPECT_EQ (slider->getZoomFactor (), 2.5f);
	EXPECT_EQ (readBack (slider, "handle-offset"), UIAttributes::pointToString ({3., 4.}));
	EXPECT_EQ (readBack (slider, "zoom-factor"), "2.5");

	slider->setZoomFactor (1.f / 3.f);
	EXPECT_EQ (readBack (slider, "zoom-factor"), "0.333333");

	// Text that does not parse leaves the settings as they were.
	sliderCreator ().apply (slider, attributes ({{"handle-offset", "x"}, {"zoom-factor", "fast"}}),
	                        nullptr);
	EXPECT_EQ (slider->getOffsetHandle (), CPoint (3., 4.));
	EXPECT_EQ (slider->getZoomFactor (), 1.f / 3.f);
}

} // namespace
} // namespace CalvirTest
