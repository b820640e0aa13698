// The module's class factory: holds the factory information and one record
// per registered class, and creates instances of those classes for the host.
#pragma once

#include "pluginterfaces/base/ipluginbase.h"

#include <vector>

namespace Steinberg {

// Creates one new object and returns it with one reference, or null.
using CreateInstanceFunc = FUnknown* (*) (void* context);

class CPluginFactory : public IPluginFactory3
{
public:
	explicit CPluginFactory (const PFactoryInfo& info);
	virtual ~CPluginFactory ();

	// Adds a class; answers false when info or createFunc is null, when a class
	// with the same ID is registered already, or when memory ran out.
	bool registerClass (const PClassInfo* info, CreateInstanceFunc createFunc,
	                    void* context = nullptr);
	bool registerClass (const PClassInfo2* info, CreateInstanceFunc createFunc,
	                    void* context = nullptr);
	bool isClassRegistered (const FUID& cid) const;
	void removeAllClasses ();

	//---from IPluginFactory------
	tresult PLUGIN_API getFactoryInfo (PFactoryInfo* info) SMTG_OVERRIDE;
	int32 PLUGIN_API countClasses () SMTG_OVERRIDE;
	tresult PLUGIN_API getClassInfo (int32 index, PClassInfo* info) SMTG_OVERRIDE;
	tresult PLUGIN_API createInstance (FIDString cid, FIDString _iid, void** obj) SMTG_OVERRIDE;

	//---from IPluginFactory2-----
	tresult PLUGIN_API getClassInfo2 (int32 index, PClassInfo2* info) SMTG_OVERRIDE;

	//---from IPluginFactory3-----
	tresult PLUGIN_API getClassInfoUnicode (int32 index, PClassInfoW* info) SMTG_OVERRIDE;
	tresult PLUGIN_API setHostContext (FUnknown* context) SMTG_OVERRIDE;

	DECLARE_FUNKNOWN_METHODS

private:
	struct ClassEntry
	{
		PClassInfo2 info;
		CreateInstanceFunc createFunc {nullptr};
		void* context {nullptr};
	};

	const ClassEntry* findClass (const TUID cid) const;
	const ClassEntry* classAt (int32 index) const;

	PFactoryInfo factoryInfo;
	std::vector<ClassEntry> classes;
};

// The module-wide factory: null until GetPluginFactory first builds one, and
// set back to null by that factory's destructor.
extern IPluginFactory* gPluginFactory;

} // namespace Steinberg
