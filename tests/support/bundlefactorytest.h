// A GoogleTest fixture that loads the built bundle as a host does and holds
// one reference to its factory for the test. Base is the GoogleTest class to
// derive from (::testing::Test, or ::testing::TestWithParam<T>).
#pragma once

#include "pluginterfaces/base/ipluginbase.h"
#include "support/pluginbundle.h"

#include <gtest/gtest.h>

namespace CalvirTestSupport {

template <typename Base = ::testing::Test>
class BundleFactoryTest : public Base
{
protected:
	void SetUp () override { loadFactory (); }
	void TearDown () override { releaseFactory (); }

	// Loads the bundle and takes its factory; a fatal failure when either is
	// missing (callers that go on check HasFatalFailure ()).
	void loadFactory ()
	{
		ASSERT_TRUE (bundle.load ()) << bundle.error ();
		factory = bundle.getFactory ();
		ASSERT_NE (factory, nullptr);
	}

	// Gives the factory reference back; answers the count release returned
	// (0 when no factory was held).
	Steinberg::uint32 releaseFactory ()
	{
		if (factory == nullptr)
			return 0;
		const Steinberg::uint32 left = factory->release ();
		factory = nullptr;
		return left;
	}

	PluginBundle bundle;
	Steinberg::IPluginFactory* factory {nullptr};
};

} // namespace CalvirTestSupport
