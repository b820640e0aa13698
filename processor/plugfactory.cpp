// The module's factory: GetPluginFactory builds it on the first call and
// hands out the same factory, one reference per call, until the host has
// released it entirely; the next call then builds a new one with the same
// classes. The information records are built once for the module's life.
#include "controller/plugcontroller.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "processor/plugids.h"
#include "processor/plugprocessor.h"
#include "sdk/pluginfactory.h"

#include <new>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// Factory information
constexpr char8 kVendor[] = "KORVEL Soft";
constexpr char8 kVendorUrl[] = "https://www.korvelsoft.com";
constexpr char8 kVendorEmail[] = "mailto:info@korvelsoft.com";

// Shared by every class record
constexpr char8 kPlugVersion[] = "1.0.0.1";
constexpr char8 kSdkVersion[] = "VST 3.7.3"; // the SDK interface version the module is built against

// Processor class
constexpr char8 kProcessorName[] = "ks CALVIR Room";
constexpr char8 kProcessorSubCategories[] = "Fx|Reverb";

// Controller class
constexpr char8 kControllerName[] = "ks CALVIR Room Controller";
constexpr int32 kControllerClassFlags = 0;
constexpr char8 kControllerSubCategories[] = "";

// The class ID as a class record carries it: the four 32-bit words in order,
// each most significant byte first.
void toClassRecordId (const FUID& fuid, TUID cid)
{
	const uint32 words[] = {fuid.getLong1 (), fuid.getLong2 (), fuid.getLong3 (), fuid.getLong4 ()};
	int32 index = 0;
	for (uint32 word : words)
	{
		for (int32 shift = 24; shift >= 0; shift -= 8)
			cid[index++] = static_cast<char8> ((word >> shift) & 0xFFu);
	}
}

const PFactoryInfo& factoryInfo ()
{
	static const PFactoryInfo info (kVendor, kVendorUrl, kVendorEmail, PFactoryInfo::kUnicode);
	return info;
}

const PClassInfo2& processorClassInfo ()
{
	static const PClassInfo2 info = [] {
		TUID cid;
		toClassRecordId (kPlugProcessorUID, cid);
		return PClassInfo2 (cid, PClassInfo::kManyInstances, kVstAudioEffectClass, kProcessorName,
		                    kDistributable, kProcessorSubCategories, nullptr, kPlugVersion,
		                    kSdkVersion);
	}();
	return info;
}

const PClassInfo2& controllerClassInfo ()
{
	static const PClassInfo2 info = [] {
		TUID cid;
		toClassRecordId (kPlugControllerUID, cid);
		return PClassInfo2 (cid, PClassInfo::kManyInstances, kVstComponentControllerClass,
		                    kControllerName, kControllerClassFlags, kControllerSubCategories,
		                    nullptr, kPlugVersion, kSdkVersion);
	}();
	return info;
}

} // namespace

extern "C" SMTG_EXPORT_SYMBOL IPluginFactory* PLUGIN_API GetPluginFactory ()
{
	if (gPluginFactory != nullptr)
	{
		gPluginFactory->addRef ();
		return gPluginFactory;
	}

	auto* factory = new (std::nothrow) CPluginFactory (factoryInfo ());
	if (factory == nullptr)
		return nullptr;
	gPluginFactory = factory;

	//--- Class index 0: the audio processor ---------------------------------
	factory->registerClass (&processorClassInfo (), PlugProcessor::createInstance);

	//--- Class index 1: the edit controller ---------------------------------
	factory->registerClass (&controllerClassInfo (), PlugController::createInstance);

	// The creating call keeps no reference of its own: the host's one release
	// destroys the factory.
	return factory;
}
