// The processor's state stream handed to the controller.
#include "controller/plugcontroller.h"
#include "processor/plugids.h"
#include "processor/plugprocessor.h"
#include "processor/plugstate.h"

#include "base/source/updatehandler.h"
#include "support/testbytestream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using CalvirTestSupport::TestByteStream;

namespace {

constexpr int32 kBypassOffset = 8; // bytes: after the 64-bit header

using Bytes = std::vector<uint8_t>;

Bytes bytesOf (const PlugState& state)
{
	TestByteStream stream;
	EXPECT_EQ (state.write (&stream), kResultOk);
	return stream.data ();
}

void putInt32 (Bytes& bytes, int32 offset, int32 value)
{
	const auto raw = static_cast<uint32> (value);
	for (int32 i = 0; i < 4; ++i)
		bytes[offset + i] = static_cast<uint8_t> ((raw >> (8 * i)) & 0xFFu);
}

// A state whose nine values all differ from the defaults.
PlugState nonDefaultState ()
{
	PlugState state;
	state.bypass = true;
	state.level = 0.1;
	state.mix = 0.2;
	state.predelay = 0.3;
	state.rvbTime = 0.4;
	state.size = 0.5;
	state.diffusion = 0.6;
	state.hfDamp = 0.7;
	state.lpCut = 0.8;
	state.reserved[0] = 42.;
	state.reservedFlags[3] = true;
	return state;
}

class ControllerStateTest : public ::testing::Test
{
protected:
	void SetUp () override
	{
		controller = Steinberg::owned (new PlugController);
		ASSERT_EQ (controller->initialize (nullptr), kResultOk);
	}
	void TearDown () override { controller->terminate (); }

	std::vector<ParamValue> values ()
	{
		std::vector<ParamValue> result;
		for (ParamID id = 0; id < kNumParameters; ++id)
			result.push_back (controller->getParamNormalized (id));
		return result;
	}

	tresult applyState (const Bytes& bytes)
	{
		TestByteStream stream (bytes);
		return controller->setComponentState (&stream);
	}

	IPtr<PlugController> controller;
};

} // namespace

TEST_F (ControllerStateTest, ProcessorStateSetsAllNineParameters)
{
	auto processor = owned (new PlugProcessor);
	TestByteStream restored (bytesOf (nonDefaultState ()));
	ASSERT_EQ (processor->setState (&restored), kResultOk);
	TestByteStream saved;
	ASSERT_EQ (processor->getState (&saved), kResultOk);
	saved.rewind ();

	ASSERT_EQ (controller->setComponentState (&saved), kResultOk);
	EXPECT_EQ (values (), (std::vector<ParamValue> {1.0, 0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8}));
}

TEST_F (ControllerStateTest, FreshProcessorStateGivesTheControllerDefaults)
{
	auto processor = owned (new PlugProcessor);
	TestByteStream saved;
	ASSERT_EQ (processor->getState (&saved), kResultOk);
	saved.rewind ();
	ASSERT_EQ (controller->setComponentState (&saved), kResultOk);

	// The processor keeps the exponential defaults to six places.
	const std::vector<ParamValue> current = values ();
	for (ParamID id = 0; id < kNumParameters; ++id)
	{
		ParameterInfo info {};
		controller->getParameterInfoByTag (id, info);
		EXPECT_NEAR (current[id], info.defaultNormalizedValue, 5e-7) << id;
	}
}

TEST_F (ControllerStateTest, BypassIsOnForPositiveStoredIntegersOnly)
{
	Bytes bytes = bytesOf (PlugState ());
	const std::pair<int32, ParamValue> cases[] = {{2, 1.0}, {0, 0.0}, {-1, 0.0}, {1, 1.0},
	                                              {std::numeric_limits<int32>::min (), 0.0}};
	for (const auto& [stored, expected] : cases)
	{
		putInt32 (bytes, kBypassOffset, stored);
		ASSERT_EQ (applyState (bytes), kResultOk);
		EXPECT_EQ (controller->getParamNormalized (kBypassId), expected) << stored;
	}
}

TEST_F (ControllerStateTest, OutOfRangeValuesClamp)
{
	PlugState state;
	state.level = 1.5;
	state.mix = -0.2;
	state.lpCut = std::numeric_limits<double>::infinity ();
	ASSERT_EQ (applyState (bytesOf (state)), kResultOk);
	EXPECT_EQ (controller->getParamNormalized (kLevelId), 1.0);
	EXPECT_EQ (controller->getParamNormalized (kMixId), 0.0);
	EXPECT_EQ (controller->getParamNormalized (kLPCutId), 1.0);
}

TEST_F (ControllerStateTest, NaNFallsBackToTheDefault)
{
	ASSERT_EQ (applyState (bytesOf (nonDefaultState ())), kResultOk);
	PlugState state = nonDefaultState ();
	state.predelay = std::nan ("");
	ASSERT_EQ (applyState (bytesOf (state)), kResultOk);
	ParameterInfo info {};
	controller->getParameterInfoByTag (kPredelayId, info);
	EXPECT_EQ (controller->getParamNormalized (kPredelayId), info.defaultNormalizedValue);
	EXPECT_EQ (controller->getParamNormalized (kLevelId), 0.1);
}

TEST_F (ControllerStateTest, ShortOrMissingStreamChangesNothing)
{
	ASSERT_EQ (applyState (bytesOf (nonDefaultState ())), kResultOk);
	const std::vector<ParamValue> before = values ();

	Bytes bytes = bytesOf (PlugState ());
	ASSERT_EQ (bytes.size (), static_cast<size_t> (PlugState::kStreamBytes));
	bytes.pop_back ();
	EXPECT_EQ (applyState (bytes), kResultFalse);
	EXPECT_EQ (values (), before);

	EXPECT_EQ (applyState (Bytes ()), kResultFalse);
	EXPECT_EQ (controller->setComponentState (nullptr), kResultFalse);
	EXPECT_EQ (values (), before);
}

TEST_F (ControllerStateTest, LongerStreamIsReadUpToItsState)
{
	Bytes bytes = bytesOf (nonDefaultState ());
	bytes.resize (bytes.size () + 16, 'x');
	ASSERT_EQ (applyState (bytes), kResultOk);
	EXPECT_EQ (controller->getParamNormalized (kLPCutId), 0.8);
}

TEST_F (ControllerStateTest, ValueChangeNotifiesDependentsOnlyWhenItChanges)
{
	class Watcher : public FObject
	{
	public:
		void PLUGIN_API update (FUnknown*, int32 message) override
		{
			if (message == kChanged)
				++changes;
		}
		int32 changes {0};
	};
	UpdateHandler::instance (); // delivers the parameters' change messages
	Watcher watcher;
	Parameter* level = controller->getParameterObject (kLevelId);
	ASSERT_NE (level, nullptr);
	level->addDependent (&watcher);

	Bytes bytes = bytesOf (nonDefaultState ());
	ASSERT_EQ (applyState (bytes), kResultOk);
	EXPECT_EQ (watcher.changes, 1);
	ASSERT_EQ (applyState (bytes), kResultOk);
	EXPECT_EQ (watcher.changes, 1);

	level->removeDependent (&watcher);
}

TEST (ControllerStateUninitialized, StateBeforeInitializeIsHarmless)
{
	auto controller = Steinberg::owned (new PlugController);
	TestByteStream stream (bytesOf (nonDefaultState ()));
	EXPECT_EQ (controller->setComponentState (&stream), kResultOk);
	EXPECT_EQ (controller->getParameterCount (), 0);
}
