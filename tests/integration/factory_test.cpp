// The module's factory as a host sees it through the built bundle.
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "processor/plugids.h"
#include "support/classinfotext.h"
#include "support/pluginbundle.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;
using CalvirTestSupport::classIdBytes;
using CalvirTestSupport::isPaddedText;
using CalvirTestSupport::PluginBundle;

class FactoryThroughBundle : public ::testing::Test
{
protected:
	void SetUp () override { ASSERT_TRUE (bundle.load ()) << bundle.error (); }
	PluginBundle bundle;
};

// Every class record of the factory, byte for byte.
std::vector<std::string> classRecords (IPluginFactory& factory)
{
	std::vector<std::string> records;
	FUnknownPtr<IPluginFactory2> factory2 (&factory);
	for (int32 i = 0; factory2 && i < factory.countClasses (); ++i)
	{
		PClassInfo2 info;
		if (factory2->getClassInfo2 (i, &info) == kResultOk)
			records.emplace_back (reinterpret_cast<const char*> (&info), sizeof info);
	}
	return records;
}

TEST_F (FactoryThroughBundle, RepeatedCallsShareOneFactoryUntilItIsReleased)
{
	IPluginFactory* first = bundle.getFactory ();
	IPluginFactory* second = bundle.getFactory ();
	ASSERT_NE (first, nullptr);
	EXPECT_EQ (first, second);
	const std::vector<std::string> records = classRecords (*first);
	EXPECT_EQ (records.size (), 2u) << "the processor and the controller";
	EXPECT_EQ (first->addRef (), 3u) << "two calls hold two references";
	EXPECT_EQ (first->release (), 2u);
	EXPECT_EQ (second->release (), 1u);
	EXPECT_EQ (first->release (), 0u);

	// A new factory with the same classes, held by the one new reference.
	IPluginFactory* renewed = bundle.getFactory ();
	ASSERT_NE (renewed, nullptr);
	EXPECT_EQ (classRecords (*renewed), records);
	const std::string cid = classIdBytes (kPlugProcessorUID);
	void* obj = nullptr;
	ASSERT_EQ (renewed->createInstance (cid.data (), IComponent::iid.toTUID (), &obj), kResultOk);
	static_cast<IComponent*> (obj)->release ();
	EXPECT_EQ (renewed->release (), 0u);
}

TEST_F (FactoryThroughBundle, FactoryInfoNamesTheVendor)
{
	IPluginFactory* factory = bundle.getFactory ();
	ASSERT_NE (factory, nullptr);
	PFactoryInfo info;
	std::memset (static_cast<void*> (&info), 0x5A, sizeof info);
	ASSERT_EQ (factory->getFactoryInfo (&info), kResultOk);
	EXPECT_TRUE (isPaddedText (info.vendor, "KORVEL Soft"));
	const std::string url (info.url, strnlen (info.url, sizeof info.url));
	const std::string email (info.email, strnlen (info.email, sizeof info.email));
	EXPECT_EQ (url.rfind ("https://", 0), 0u) << url;
	EXPECT_EQ (email.rfind ("mailto:", 0), 0u) << email;
	EXPECT_TRUE (isPaddedText (info.url, url));
	EXPECT_TRUE (isPaddedText (info.email, email));
	EXPECT_EQ (info.flags, PFactoryInfo::kUnicode);
	factory->release ();
}

TEST_F (FactoryThroughBundle, ClassZeroIsTheProcessor)
{
	IPluginFactory* factory = bundle.getFactory ();
	ASSERT_NE (factory, nullptr);
	FUnknownPtr<IPluginFactory2> factory2 (factory);
	ASSERT_TRUE (factory2);

	PClassInfo2 info;
	std::memset (static_cast<void*> (&info), 0x5A, sizeof info);
	ASSERT_EQ (factory2->getClassInfo2 (0, &info), kResultOk);
	EXPECT_EQ (std::string (info.cid, sizeof (TUID)), classIdBytes (kPlugProcessorUID));
	EXPECT_EQ (info.cardinality, 0x7FFFFFFF);
	EXPECT_TRUE (isPaddedText (info.category, "Audio Module Class"));
	EXPECT_TRUE (isPaddedText (info.name, "ks CALVIR Room"));
	EXPECT_EQ (info.classFlags, 1u);
	EXPECT_TRUE (isPaddedText (info.subCategories, "Fx|Reverb"));
	EXPECT_TRUE (isPaddedText (info.vendor, ""));
	EXPECT_TRUE (isPaddedText (info.version, "1.0.0.1"));
	EXPECT_TRUE (isPaddedText (info.sdkVersion, "VST 3.7.3"));

	FUnknownPtr<IPluginFactory3> factory3 (factory);
	ASSERT_TRUE (factory3);
	PClassInfoW wide;
	ASSERT_EQ (factory3->getClassInfoUnicode (0, &wide), kResultOk);
	EXPECT_EQ (std::u16string (reinterpret_cast<const char16_t*> (wide.name)), u"ks CALVIR Room");
	EXPECT_EQ (std::u16string (reinterpret_cast<const char16_t*> (wide.version)), u"1.0.0.1");
	factory->release ();
}

TEST_F (FactoryThroughBundle, CreatesDistinctProcessorsByClassId)
{
	IPluginFactory* factory = bundle.getFactory ();
	ASSERT_NE (factory, nullptr);
	const std::string cid = classIdBytes (kPlugProcessorUID);

	void* first = nullptr;
	void* second = nullptr;
	ASSERT_EQ (factory->createInstance (cid.data (), IComponent::iid.toTUID (), &first), kResultOk);
	ASSERT_EQ (factory->createInstance (cid.data (), IAudioProcessor::iid.toTUID (), &second),
	           kResultOk);
	ASSERT_NE (first, nullptr);
	ASSERT_NE (second, nullptr);
	EXPECT_NE (static_cast<FUnknown*> (first), static_cast<FUnknown*> (second));

	// Components outlive the factory.
	EXPECT_EQ (factory->release (), 0u);
	EXPECT_EQ (static_cast<IComponent*> (first)->release (), 0u);
	EXPECT_EQ (static_cast<IAudioProcessor*> (second)->release (), 0u);
}

TEST_F (FactoryThroughBundle, UnknownClassesAndInterfacesAreNotCreated)
{
	IPluginFactory* factory = bundle.getFactory ();
	ASSERT_NE (factory, nullptr);
	const FUID unknown (1, 2, 3, 4);
	void* obj = reinterpret_cast<void*> (1);
	EXPECT_EQ (factory->createInstance (unknown.toTUID (), IComponent::iid.toTUID (), &obj),
	           kNoInterface);
	EXPECT_EQ (obj, nullptr);

	// The processor class asked for an interface it lacks: no object, and the
	// one created meanwhile is destroyed again (the leak checker would see it).
	const std::string cid = classIdBytes (kPlugProcessorUID);
	obj = reinterpret_cast<void*> (1);
	EXPECT_EQ (factory->createInstance (cid.data (), IPluginFactory::iid.toTUID (), &obj),
	           kNoInterface);
	EXPECT_EQ (obj, nullptr);

	// The class ID in the other byte order names no class.
	TUID swapped;
	std::memcpy (swapped, cid.data (), sizeof (TUID));
	for (size_t word = 0; word < sizeof (TUID); word += 4)
	{
		std::swap (swapped[word], swapped[word + 3]);
		std::swap (swapped[word + 1], swapped[word + 2]);
	}
	obj = reinterpret_cast<void*> (1);
	EXPECT_EQ (factory->createInstance (swapped, IComponent::iid.toTUID (), &obj), kNoInterface);
	EXPECT_EQ (obj, nullptr);
	factory->release ();
}

TEST (ModuleEntry, EntryAndExitCallsPairUp)
{
	PluginBundle bundle;
	ASSERT_TRUE (bundle.load ()) << bundle.error ();
	// A nested pair inside the host's own.
	EXPECT_TRUE (bundle.moduleEntryProc () (bundle.libraryHandle ()));
	EXPECT_TRUE (bundle.moduleExitProc () ());
	// An exit without a matching entry is refused.
	EXPECT_TRUE (bundle.moduleExitProc () ());
	EXPECT_FALSE (bundle.moduleExitProc () ());
	EXPECT_TRUE (bundle.moduleEntryProc () (bundle.libraryHandle ()));
	EXPECT_TRUE (bundle.unload ());
}

} // namespace
