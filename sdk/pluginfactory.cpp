#include "sdk/pluginfactory.h"

#include <cstring>

namespace Steinberg {

IPluginFactory* gPluginFactory = nullptr;

CPluginFactory::CPluginFactory (const PFactoryInfo& info) : factoryInfo (info)
{
	FUNKNOWN_CTOR
}

CPluginFactory::~CPluginFactory ()
{
	if (gPluginFactory == this)
		gPluginFactory = nullptr;
	FUNKNOWN_DTOR
}

IMPLEMENT_REFCOUNT (CPluginFactory)

tresult PLUGIN_API CPluginFactory::queryInterface (const TUID _iid, void** obj)
{
	if (obj == nullptr)
		return kInvalidArgument;
	QUERY_INTERFACE (_iid, obj, FUnknown::iid, IPluginFactory)
	QUERY_INTERFACE (_iid, obj, IPluginFactory::iid, IPluginFactory)
	QUERY_INTERFACE (_iid, obj, IPluginFactory2::iid, IPluginFactory2)
	QUERY_INTERFACE (_iid, obj, IPluginFactory3::iid, IPluginFactory3)
	*obj = nullptr;
	return kNoInterface;
}

bool CPluginFactory::registerClass (const PClassInfo* info, CreateInstanceFunc createFunc,
                                    void* context)
{
	if (info == nullptr)
		return false;
	PClassInfo2 info2;
	std::memcpy (info2.cid, info->cid, sizeof (TUID));
	info2.cardinality = info->cardinality;
	std::memcpy (info2.category, info->category, sizeof (info2.category));
	std::memcpy (info2.name, info->name, sizeof (info2.name));
	return registerClass (&info2, createFunc, context);
}

bool CPluginFactory::registerClass (const PClassInfo2* info, CreateInstanceFunc createFunc,
                                    void* context)
{
	if (info == nullptr || createFunc == nullptr || findClass (info->cid) != nullptr)
		return false;
	try
	{
		classes.push_back (ClassEntry {*info, createFunc, context});
	}
	catch (...)
	{
		return false;
	}
	return true;
}

bool CPluginFactory::isClassRegistered (const FUID& cid) const
{
	TUID tuid;
	cid.toTUID (tuid);
	return findClass (tuid) != nullptr;
}

void CPluginFactory::removeAllClasses ()
{
	classes.clear ();
}

const CPluginFactory::ClassEntry* CPluginFactory::findClass (const TUID cid) const
{
	for (const auto& entry : classes)
	{
		if (std::memcmp (entry.info.cid, cid, sizeof (TUID)) == 0)
			return &entry;
	}
	return nullptr;
}

const CPluginFactory::ClassEntry* CPluginFactory::classAt (int32 index) const
{
	if (index < 0 || index >= static_cast<int32> (classes.size ()))
		return nullptr;
	return &classes[static_cast<size_t> (index)];
}

tresult PLUGIN_API CPluginFactory::getFactoryInfo (PFactoryInfo* info)
{
	if (info == nullptr)
		return kInvalidArgument;
	*info = factoryInfo;
	return kResultOk;
}

int32 PLUGIN_API CPluginFactory::countClasses ()
{
	return static_cast<int32> (classes.size ());
}

tresult PLUGIN_API CPluginFactory::getClassInfo (int32 index, PClassInfo* info)
{
	const ClassEntry* entry = classAt (index);
	if (info == nullptr || entry == nullptr)
		return kInvalidArgument;
	*info = PClassInfo ();
	std::memcpy (info->cid, entry->info.cid, sizeof (TUID));
	info->cardinality = entry->info.cardinality;
	std::memcpy (info->category, entry->info.category, sizeof (info->category));
	std::memcpy (info->name, entry->info.name, sizeof (info->name));
	return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfo2 (int32 index, PClassInfo2* info)
{
	const ClassEntry* entry = classAt (index);
	if (info == nullptr || entry == nullptr)
		return kInvalidArgument;
	*info = entry->info;
	return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfoUnicode (int32 index, PClassInfoW* info)
{
	const ClassEntry* entry = classAt (index);
	if (info == nullptr || entry == nullptr)
		return kInvalidArgument;
	*info = PClassInfoW ();
	info->fromAscii (entry->info);
	return kResultOk;
}

tresult PLUGIN_API CPluginFactory::createInstance (FIDString cid, FIDString _iid, void** obj)
{
	if (obj == nullptr)
		return kInvalidArgument;
	*obj = nullptr;
	if (cid == nullptr || _iid == nullptr)
		return kInvalidArgument;

	const ClassEntry* entry = findClass (reinterpret_cast<const char8*> (cid));
	if (entry == nullptr)
		return kNoInterface;

	FUnknown* instance = nullptr;
	try
	{
		instance = entry->createFunc (entry->context);
	}
	catch (...)
	{
		instance = nullptr;
	}
	if (instance == nullptr)
		return kOutOfMemory;

	// The new object's own reference is handed over to the interface the host
	// asked for; an unknown interface destroys the object again.
	tresult result = instance->queryInterface (reinterpret_cast<const char8*> (_iid), obj);
	instance->release ();
	if (result != kResultOk)
	{
		*obj = nullptr;
		return kNoInterface;
	}
	return kResultOk;
}

tresult PLUGIN_API CPluginFactory::setHostContext (FUnknown* /*context*/)
{
	return kNotImplemented;
}

} // namespace Steinberg
