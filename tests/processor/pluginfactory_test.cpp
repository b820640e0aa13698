// The class factory: registration, class records, instance creation and the
// module-wide factory pointer.
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "sdk/pluginfactory.h"
#include "sdk/vstaudioeffect.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;

const FUID kEffectClass (0x11111111, 0x22222222, 0x33333333, 0x44444444);
const FUID kOtherClass (0x55555555, 0x66666666, 0x77777777, 0x88888888);

int createdCount = 0;
void* lastContext = nullptr;

FUnknown* createEffect (void* context)
{
	++createdCount;
	lastContext = context;
	return static_cast<IAudioProcessor*> (new AudioEffect);
}

FUnknown* createNothing (void*)
{
	return nullptr;
}

FUnknown* createThrowing (void*)
{
	throw std::bad_alloc ();
}

PClassInfo2 classInfo (const FUID& cid, const char* name)
{
	return PClassInfo2 (cid.toTUID (), PClassInfo::kManyInstances, "Audio Module Class", name, 1,
	                    "Fx", nullptr, "1.0", "VST 3.7.3");
}

class FactoryTest : public ::testing::Test
{
protected:
	void SetUp () override
	{
		factory = new CPluginFactory (PFactoryInfo ("Vendor", "https://example.org",
		                                            "mailto:a@example.org", PFactoryInfo::kUnicode));
		createdCount = 0;
	}
	void TearDown () override
	{
		if (factory)
		{
			EXPECT_EQ (factory->release (), 0u);
		}
	}

	CPluginFactory* factory {nullptr};
};

TEST_F (FactoryTest, RegistersEachClassOnce)
{
	const PClassInfo2 effect = classInfo (kEffectClass, "Effect");
	EXPECT_TRUE (factory->registerClass (&effect, createEffect));
	EXPECT_FALSE (factory->registerClass (&effect, createEffect));
	EXPECT_FALSE (factory->registerClass (static_cast<const PClassInfo2*> (nullptr), createEffect));
	const PClassInfo2 other = classInfo (kOtherClass, "Other");
	EXPECT_FALSE (factory->registerClass (&other, nullptr));
	EXPECT_EQ (factory->countClasses (), 1);
	EXPECT_TRUE (factory->isClassRegistered (kEffectClass));
	EXPECT_FALSE (factory->isClassRegistered (kOtherClass));

	const PClassInfo plain (kOtherClass.toTUID (), PClassInfo::kManyInstances, "Service", "Plain");
	EXPECT_TRUE (factory->registerClass (&plain, createEffect));
	PClassInfo2 read;
	ASSERT_EQ (factory->getClassInfo2 (1, &read), kResultOk);
	EXPECT_STREQ (read.category, "Service");
	EXPECT_STREQ (read.name, "Plain");
	EXPECT_EQ (read.classFlags, 0u);
	EXPECT_STREQ (read.sdkVersion, "");

	factory->removeAllClasses ();
	EXPECT_EQ (factory->countClasses (), 0);
}

TEST_F (FactoryTest, ClassRecordsInEveryForm)
{
	const PClassInfo2 effect = classInfo (kEffectClass, "Effect");
	ASSERT_TRUE (factory->registerClass (&effect, createEffect));

	PFactoryInfo info;
	ASSERT_EQ (factory->getFactoryInfo (&info), kResultOk);
	EXPECT_STREQ (info.vendor, "Vendor");
	EXPECT_EQ (info.flags, PFactoryInfo::kUnicode);

	PClassInfo v1;
	ASSERT_EQ (factory->getClassInfo (0, &v1), kResultOk);
	EXPECT_EQ (std::memcmp (v1.cid, kEffectClass.toTUID (), sizeof (TUID)), 0);
	EXPECT_STREQ (v1.name, "Effect");

	PClassInfo2 v2;
	ASSERT_EQ (factory->getClassInfo2 (0, &v2), kResultOk);
	EXPECT_EQ (std::memcmp (&v2, &effect, sizeof (PClassInfo2)), 0);

	PClassInfoW w;
	ASSERT_EQ (factory->getClassInfoUnicode (0, &w), kResultOk);
	EXPECT_EQ (std::u16string (reinterpret_cast<const char16_t*> (w.name)), u"Effect");
	EXPECT_EQ (std::u16string (reinterpret_cast<const char16_t*> (w.sdkVersion)), u"VST 3.7.3");
	EXPECT_EQ (w.cardinality, PClassInfo::kManyInstances);

	EXPECT_EQ (factory->getClassInfo (1, &v1), kInvalidArgument);
	EXPECT_EQ (factory->getClassInfo2 (-1, &v2), kInvalidArgument);
	EXPECT_EQ (factory->getClassInfoUnicode (1, &w), kInvalidArgument);
	EXPECT_EQ (factory->getClassInfo2 (0, nullptr), kInvalidArgument);
	EXPECT_EQ (factory->getFactoryInfo (nullptr), kInvalidArgument);
}

TEST_F (FactoryTest, CreatesInstancesWithTheAskedInterface)
{
	int context = 0;
	const PClassInfo2 effect = classInfo (kEffectClass, "Effect");
	ASSERT_TRUE (factory->registerClass (&effect, createEffect, &context));

	void* obj = nullptr;
	ASSERT_EQ (factory->createInstance (kEffectClass.toTUID (), IComponent::iid.toTUID (), &obj),
	           kResultOk);
	ASSERT_NE (obj, nullptr);
	EXPECT_EQ (lastContext, &context);
	auto* component = static_cast<IComponent*> (obj);
	EXPECT_EQ (component->release (), 0u) << "the host holds the only reference";

	// An interface the class lacks: no object, and the created one is gone again.
	obj = reinterpret_cast<void*> (1);
	EXPECT_EQ (factory->createInstance (kEffectClass.toTUID (), IPluginFactory::iid.toTUID (), &obj),
	           kNoInterface);
	EXPECT_EQ (obj, nullptr);

	obj = reinterpret_cast<void*> (1);
	EXPECT_EQ (factory->createInstance (kOtherClass.toTUID (), IComponent::iid.toTUID (), &obj),
	           kNoInterface);
	EXPECT_EQ (obj, nullptr);
	EXPECT_EQ (createdCount, 2);

	EXPECT_EQ (factory->createInstance (nullptr, IComponent::iid.toTUID (), &obj), kInvalidArgument);
	EXPECT_EQ (factory->createInstance (kEffectClass.toTUID (), IComponent::iid.toTUID (), nullptr),
	           kInvalidArgument);
}

TEST_F (FactoryTest, FailingCreateFunctionsReportOutOfMemory)
{
	const PClassInfo2 nothing = classInfo (kEffectClass, "Nothing");
	const PClassInfo2 throwing = classInfo (kOtherClass, "Throwing");
	ASSERT_TRUE (factory->registerClass (&nothing, createNothing));
	ASSERT_TRUE (factory->registerClass (&throwing, createThrowing));
	void* obj = nullptr;
	EXPECT_EQ (factory->createInstance (kEffectClass.toTUID (), FUnknown::iid.toTUID (), &obj),
	           kOutOfMemory);
	EXPECT_EQ (obj, nullptr);
	EXPECT_EQ (factory->createInstance (kOtherClass.toTUID (), FUnknown::iid.toTUID (), &obj),
	           kOutOfMemory);
	EXPECT_EQ (obj, nullptr);
}

TEST_F (FactoryTest, AnswersThreeFactoryInterfaces)
{
	for (const FUID* iid : {&FUnknown::iid, &IPluginFactory::iid, &IPluginFactory2::iid,
	                        &IPluginFactory3::iid})
	{
		void* obj = nullptr;
		ASSERT_EQ (factory->queryInterface (iid->toTUID (), &obj), kResultOk);
		static_cast<FUnknown*> (obj)->release ();
	}
	void* obj = reinterpret_cast<void*> (1);
	EXPECT_EQ (factory->queryInterface (IComponent::iid.toTUID (), &obj), kNoInterface);
	EXPECT_EQ (obj, nullptr);
	EXPECT_EQ (factory->addRef (), 2u);
	EXPECT_EQ (factory->release (), 1u);
}

TEST_F (FactoryTest, DestructionClearsTheModuleWideFactory)
{
	gPluginFactory = factory;
	EXPECT_EQ (factory->release (), 0u);
	factory = nullptr;
	EXPECT_EQ (gPluginFactory, nullptr);

	// Another factory's destruction leaves the pointer alone.
	auto* current = new CPluginFactory (PFactoryInfo ());
	auto* other = new CPluginFactory (PFactoryInfo ());
	gPluginFactory = current;
	other->release ();
	EXPECT_EQ (gPluginFactory, current);
	current->release ();
	EXPECT_EQ (gPluginFactory, nullptr);
}

} // namespace
