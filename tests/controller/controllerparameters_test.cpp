// The controller's parameter table, its interfaces and its life cycle.
#include "controller/plugcontroller.h"
#include "processor/plugids.h"

#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivstmidicontrollers.h"
#include "pluginterfaces/vst/ivstunits.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

std::u16string text (const TChar* string)
{
	return std::u16string (reinterpret_cast<const char16_t*> (string));
}

struct ExpectedRow
{
	const char16_t* title;
	const char16_t* units;
	int32 stepCount;
	int32 flags;
	double minPlain;
	double maxPlain;
	double defaultNormalized;
	const char16_t* shownAtDefault;
};

constexpr int32 kAutomate = ParameterInfo::kCanAutomate;

// The exponential defaults are ln(default/min) / ln(max/min).
const ExpectedRow kExpectedTable[kNumParameters] = {
    {u"Bypass", u"", 1, kAutomate | ParameterInfo::kIsBypass, 0., 1., 0.0, u"Off"},
    {u"Level", u"dB", 0, kAutomate, -36., 12., 0.75, u"0.00"},
    {u"Mix", u"%", 0, kAutomate, 0., 100., 0.5, u"50"},
    {u"Predelay", u"ms", 0, kAutomate, 1., 250., 0.25107383, u"4.0"},
    {u"Rvb Time", u"s", 0, kAutomate, 0.2, 4., 0.53724357, u"1.00"},
    {u"Size", u"m3", 0, kAutomate, 20., 1000., 0.58859191, u"200"},
    {u"Diffusion", u"%", 0, kAutomate, 0., 100., 1.0, u"100"},
    {u"HFDamp", u"%", 0, kAutomate, 0., 100., 0.75, u"75"},
    {u"LPCut", u"Hz", 0, kAutomate, 500., 16000., 0.51699250, u"3000"},
};

// A host context that answers only FUnknown.
class PlainHostContext : public FUnknown
{
public:
	tresult PLUGIN_API queryInterface (const TUID iid, void** obj) override
	{
		if (FUnknownPrivate::iidEqual (iid, FUnknown::iid))
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

	uint32 refCount {1};
};

class ControllerTest : public ::testing::Test
{
protected:
	void SetUp () override
	{
		controller = Steinberg::owned (new PlugController);
		ASSERT_EQ (controller->initialize (&host), kResultOk);
	}
	void TearDown () override
	{
		if (controller)
			controller->terminate ();
	}

	void expectTableAtDefaults ()
	{
		ASSERT_EQ (controller->getParameterCount (), static_cast<int32> (kNumParameters));
		for (int32 index = 0; index < static_cast<int32> (kNumParameters); ++index)
		{
			ParameterInfo info {};
			ASSERT_EQ (controller->getParameterInfo (index, info), kResultTrue);
			EXPECT_EQ (info.id, static_cast<ParamID> (index));
			EXPECT_EQ (controller->getParamNormalized (info.id), info.defaultNormalizedValue)
			    << index;
		}
	}

	PlainHostContext host;
	IPtr<PlugController> controller;
};

} // namespace

TEST_F (ControllerTest, ParameterTableAfterInitialize)
{
	ASSERT_EQ (controller->getParameterCount (), static_cast<int32> (kNumParameters));
	for (int32 index = 0; index < static_cast<int32> (kNumParameters); ++index)
	{
		SCOPED_TRACE (index);
		const ExpectedRow& row = kExpectedTable[index];
		ParameterInfo info {};
		ASSERT_EQ (controller->getParameterInfo (index, info), kResultTrue);
		EXPECT_EQ (info.id, static_cast<ParamID> (index));
		EXPECT_EQ (text (info.title), row.title);
		EXPECT_EQ (text (info.units), row.units);
		EXPECT_EQ (text (info.shortTitle), u"");
		EXPECT_EQ (info.stepCount, row.stepCount);
		EXPECT_EQ (info.flags, row.flags);
		EXPECT_EQ (info.unitId, kRootUnitId);
		EXPECT_NEAR (info.defaultNormalizedValue, row.defaultNormalized, 5e-9);
		EXPECT_EQ (controller->getParamNormalized (info.id), info.defaultNormalizedValue);

		EXPECT_EQ (controller->normalizedParamToPlain (info.id, 0.), row.minPlain);
		EXPECT_NEAR (controller->normalizedParamToPlain (info.id, 1.), row.maxPlain,
		             row.maxPlain * 1e-14);

		String128 shown {};
		ASSERT_EQ (controller->getParamStringByValue (info.id, info.defaultNormalizedValue, shown),
		           kResultTrue);
		EXPECT_EQ (text (shown), row.shownAtDefault);
	}
}

TEST_F (ControllerTest, HostQueriesOutsideTheTableAreRefused)
{
	ParameterInfo info {};
	EXPECT_EQ (controller->getParameterInfo (kNumParameters, info), kResultFalse);
	EXPECT_EQ (controller->getParameterInfo (-1, info), kResultFalse);
	EXPECT_EQ (controller->getParameterInfoByTag (kNumParameters, info), kResultFalse);

	String128 shown {};
	EXPECT_EQ (controller->getParamStringByValue (kNumParameters, 0.5, shown), kResultFalse);
	for (ParamID id = 0; id < kNumParameters; ++id)
		EXPECT_EQ (controller->getParamStringByValue (id, 0.5, nullptr), kInvalidArgument);

	ParamValue value = 0.25;
	TChar loneSurrogate[] = {u'1', 0xDC00, 0};
	TChar notANumber[] = u"nan";
	for (ParamID id = 0; id < kNumParameters; ++id)
	{
		EXPECT_EQ (controller->getParamValueByString (id, nullptr, value), kInvalidArgument);
		controller->getParamValueByString (id, loneSurrogate, value);
		EXPECT_FALSE (std::isnan (value));
		controller->getParamValueByString (id, notANumber, value);
		EXPECT_FALSE (std::isnan (value));
	}
	EXPECT_EQ (controller->getParamValueByString (kBypassId, notANumber, value), kResultFalse);
}

TEST_F (ControllerTest, BypassShowsOnAboveOneHalf)
{
	String128 shown {};
	controller->getParamStringByValue (kBypassId, 0.5, shown);
	EXPECT_EQ (text (shown), u"Off");
	controller->getParamStringByValue (kBypassId, 0.51, shown);
	EXPECT_EQ (text (shown), u"On");
	EXPECT_EQ (controller->normalizedParamToPlain (kBypassId, 1.), 1.);
}

// Typed text for the bypass switch (getParamValueByString, ID 0): its own
// display words in any case, or a number clamped into [0, 1]. Anything else
// is refused with kResultFalse, and the value argument keeps what it held.
struct BypassTextRow
{
	const char16_t* text;
	tresult result;
	double value; // when accepted
};

const BypassTextRow kBypassTextTable[] = {
    // The display strings, in any case, white space around them ignored.
    {u"On", kResultTrue, 1.0},
    {u"Off", kResultTrue, 0.0},
    {u"ON", kResultTrue, 1.0},
    {u"oFf", kResultTrue, 0.0},
    {u" off\t", kResultTrue, 0.0},
    // Numbers, clamped into [0, 1]; text after a number is ignored.
    {u"0.25", kResultTrue, 0.25},
    {u" 0.5 percent", kResultTrue, 0.5},
    {u"3", kResultTrue, 1.0},
    {u"-5", kResultTrue, 0.0},
    {u"inf", kResultTrue, 1.0},
    {u"-1e-300", kResultTrue, 0.0},
    {u"-0", kResultTrue, 0.0},
    // No number, or NaN: refused.
    {u"nan", kResultFalse, 0.0},
    {u"", kResultFalse, 0.0},
    {u"loud", kResultFalse, 0.0},
    {u"Onward", kResultFalse, 0.0},
};

TEST_F (ControllerTest, BypassTextConversion)
{
	constexpr double kUntouched = 0.375;
	for (const BypassTextRow& row : kBypassTextTable)
	{
		const std::u16string typed (row.text);
		SCOPED_TRACE (std::string (typed.begin (), typed.end ()));
		std::u16string buffer = typed;
		ParamValue value = kUntouched;
		EXPECT_EQ (controller->getParamValueByString (kBypassId, reinterpret_cast<TChar*> (buffer.data ()), value),
		           row.result);
		if (row.result == kResultTrue)
		{
			EXPECT_EQ (value, row.value);
			EXPECT_FALSE (std::signbit (value));
		}
		else
		{
			EXPECT_EQ (value, kUntouched);
		}
	}
}

// The bypass reads back what it shows.
TEST_F (ControllerTest, BypassReadsBackItsDisplayStrings)
{
	for (ParamValue shownValue : {0.0, 0.25, 0.5, 0.51, 1.0})
	{
		String128 shown {};
		ASSERT_EQ (controller->getParamStringByValue (kBypassId, shownValue, shown), kResultTrue);
		ParamValue value = 0.375;
		ASSERT_EQ (controller->getParamValueByString (kBypassId, shown, value), kResultTrue) << shownValue;
		EXPECT_EQ (value, shownValue > 0.5 ? 1.0 : 0.0) << shownValue;
	}
}

TEST_F (ControllerTest, TypedValuesGoThroughTheParameterClasses)
{
	ParamValue value = -1.;
	TChar typed[] = u"300";
	ASSERT_EQ (controller->getParamValueByString (kPredelayId, typed, value), kResultTrue);
	EXPECT_EQ (value, 1.);
	TChar none[] = u"loud";
	ASSERT_EQ (controller->getParamValueByString (kLevelId, none, value), kResultTrue);
	EXPECT_EQ (value, 0.75);
	EXPECT_EQ (controller->getParamValueByString (kLevelId, nullptr, value), kInvalidArgument);
	EXPECT_EQ (controller->plainParamToNormalized (kSizeId, 1000.), 1.);
}

TEST_F (ControllerTest, AnswersTheEditControllerInterfacesOnly)
{
	auto answers = [&] (const TUID iid) {
		void* obj = nullptr;
		const tresult result = controller->queryInterface (iid, &obj);
		if (obj)
			static_cast<FUnknown*> (obj)->release ();
		return result == kResultOk && obj != nullptr;
	};
	EXPECT_TRUE (answers (FUnknown::iid));
	EXPECT_TRUE (answers (IPluginBase::iid));
	EXPECT_TRUE (answers (IEditController::iid));
	EXPECT_TRUE (answers (IEditController2::iid));
	EXPECT_TRUE (answers (IConnectionPoint::iid));
	EXPECT_FALSE (answers (IUnitInfo::iid));
	EXPECT_FALSE (answers (IMidiMapping::iid));
	EXPECT_FALSE (answers (IComponent::iid));

	EXPECT_EQ (controller->setState (nullptr), kNotImplemented);
	EXPECT_EQ (controller->getState (nullptr), kNotImplemented);
}

TEST_F (ControllerTest, SecondInitializeAddsNothing)
{
	controller->setParamNormalized (kMixId, 0.25);
	EXPECT_EQ (controller->initialize (&host), kResultOk);
	EXPECT_EQ (controller->getParameterCount (), kNumParameters);
	EXPECT_EQ (controller->getParamNormalized (kMixId), 0.25);
}

TEST (ControllerLifeCycle, SecondInitializeWithoutHostContextAddsNothing)
{
	auto controller = Steinberg::owned (new PlugController);
	EXPECT_EQ (controller->initialize (nullptr), kResultOk);
	EXPECT_EQ (controller->initialize (nullptr), kResultOk);
	EXPECT_EQ (controller->getParameterCount (), kNumParameters);
	controller->terminate ();
}

TEST_F (ControllerTest, TerminateThenInitializeRestoresTheDefaults)
{
	for (ParamID id = 0; id < kNumParameters; ++id)
		controller->setParamNormalized (id, 0.9);
	EXPECT_EQ (controller->terminate (), kResultOk);
	EXPECT_EQ (controller->getParameterCount (), 0);
	EXPECT_EQ (host.refCount, 1u);

	ASSERT_EQ (controller->initialize (&host), kResultOk);
	expectTableAtDefaults ();
}

TEST (ControllerLifeCycle, CreateInstanceReturnsDistinctEditControllers)
{
	FUnknown* first = PlugController::createInstance (nullptr);
	FUnknown* second = PlugController::createInstance (&first);
	ASSERT_NE (first, nullptr);
	ASSERT_NE (second, nullptr);
	EXPECT_NE (first, second);

	IEditController* edit = nullptr;
	ASSERT_EQ (first->queryInterface (IEditController::iid, reinterpret_cast<void**> (&edit)),
	           kResultOk);
	EXPECT_EQ (static_cast<FUnknown*> (edit), first);
	EXPECT_EQ (edit->getParameterCount (), 0);
	edit->release ();
	EXPECT_EQ (first->release (), 0u);
	EXPECT_EQ (second->release (), 0u);
}
