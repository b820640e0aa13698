// The controller as the factory's second class, seen by a host through the
// built bundle.
#include "processor/plugids.h"
#include "support/bundlefactorytest.h"
#include "support/classinfotext.h"
#include "support/testbytestream.h"

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace Steinberg;
using namespace Steinberg::Vst;
using CalvirTestSupport::classIdBytes;
using CalvirTestSupport::isPaddedText;
using CalvirTestSupport::TestByteStream;

namespace {

constexpr int32 kControllerClassIndex = 1;

template <typename Interface>
Interface* createByClassId (IPluginFactory* factory, const TUID cid)
{
	void* obj = nullptr;
	if (factory->createInstance (cid, Interface::iid, &obj) != kResultOk)
		return nullptr;
	return static_cast<Interface*> (obj);
}

using ControllerThroughBundle = CalvirTestSupport::BundleFactoryTest<>;

} // namespace

TEST_F (ControllerThroughBundle, ClassOneIsTheController)
{
	ASSERT_EQ (factory->countClasses (), 2);

	IPluginFactory2* factory2 = nullptr;
	ASSERT_EQ (factory->queryInterface (IPluginFactory2::iid, reinterpret_cast<void**> (&factory2)),
	           kResultOk);
	PClassInfo2 info {};
	ASSERT_EQ (factory2->getClassInfo2 (kControllerClassIndex, &info), kResultOk);
	factory2->release ();

	EXPECT_EQ (classIdBytes (info.cid), classIdBytes (kPlugControllerUID));
	EXPECT_EQ (info.cardinality, PClassInfo::kManyInstances);
	EXPECT_TRUE (isPaddedText (info.category, "Component Controller Class"));
	EXPECT_TRUE (isPaddedText (info.name, "ks CALVIR Room Controller"));
	EXPECT_EQ (info.classFlags, 0u);
	EXPECT_TRUE (isPaddedText (info.subCategories, ""));
	EXPECT_TRUE (isPaddedText (info.vendor, ""));
	EXPECT_TRUE (isPaddedText (info.version, "1.0.0.1"));
	EXPECT_TRUE (isPaddedText (info.sdkVersion, "VST 3.7.3"));

	PClassInfo basic {};
	ASSERT_EQ (factory->getClassInfo (kControllerClassIndex, &basic), kResultOk);
	EXPECT_EQ (classIdBytes (basic.cid), classIdBytes (kPlugControllerUID));
	EXPECT_TRUE (isPaddedText (basic.category, "Component Controller Class"));
	EXPECT_TRUE (isPaddedText (basic.name, "ks CALVIR Room Controller"));
}

TEST_F (ControllerThroughBundle, HostPairsProcessorAndControllerByClassId)
{
	TUID processorCid;
	kPlugProcessorUID.toTUID (processorCid);
	IComponent* component = createByClassId<IComponent> (factory, processorCid);
	ASSERT_NE (component, nullptr);
	ASSERT_EQ (component->initialize (nullptr), kResultOk);

	TUID controllerCid {};
	ASSERT_EQ (component->getControllerClassId (controllerCid), kResultOk);
	EXPECT_EQ (classIdBytes (controllerCid), classIdBytes (kPlugControllerUID));

	IEditController* controller = createByClassId<IEditController> (factory, controllerCid);
	ASSERT_NE (controller, nullptr);
	ASSERT_EQ (controller->initialize (nullptr), kResultOk);
	EXPECT_EQ (controller->getParameterCount (), kNumParameters);

	// The host's usual hand-over: the processor's state to the controller.
	TestByteStream state;
	ASSERT_EQ (component->getState (&state), kResultOk);
	state.rewind ();
	EXPECT_EQ (controller->setComponentState (&state), kResultOk);
	EXPECT_EQ (controller->getParamNormalized (kMixId), 0.5);
	EXPECT_NEAR (controller->getParamNormalized (kSizeId), 0.588592, 1e-12);

	EXPECT_EQ (controller->terminate (), kResultOk);
	EXPECT_EQ (component->terminate (), kResultOk);
	EXPECT_EQ (controller->release (), 0u);
	EXPECT_EQ (component->release (), 0u);
}

TEST_F (ControllerThroughBundle, ControllerAnswersTheInterfacesAHostAsksFor)
{
	TUID controllerCid;
	kPlugControllerUID.toTUID (controllerCid);
	for (const TUID* iid : {&FUnknown::iid.toTUID (), &IPluginBase::iid.toTUID (),
	                        &IEditController::iid.toTUID (), &IEditController2::iid.toTUID (),
	                        &IConnectionPoint::iid.toTUID ()})
	{
		void* obj = nullptr;
		ASSERT_EQ (factory->createInstance (controllerCid, *iid, &obj), kResultOk);
		ASSERT_NE (obj, nullptr);
		EXPECT_EQ (static_cast<FUnknown*> (obj)->release (), 0u);
	}
	void* obj = nullptr;
	EXPECT_NE (factory->createInstance (controllerCid, IComponent::iid, &obj), kResultOk);
	EXPECT_EQ (obj, nullptr);
}
