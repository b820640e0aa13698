// FUnknown for host-side test objects that live on a test's stack or in its
// containers: interface queries work, reference counts are never used to end
// the object's life.
#pragma once

#include "pluginterfaces/base/funknown.h"

#define CALVIR_TEST_SUPPORT_FUNKNOWN(Interface)                                              \
	::Steinberg::tresult PLUGIN_API queryInterface (const ::Steinberg::TUID iid, void** obj) \
	    override                                                                             \
	{                                                                                        \
		if (::Steinberg::FUnknownPrivate::iidEqual (iid, ::Steinberg::FUnknown::iid) ||      \
		    ::Steinberg::FUnknownPrivate::iidEqual (iid, Interface::iid))                    \
		{                                                                                    \
			*obj = static_cast<Interface*> (this);                                           \
			return ::Steinberg::kResultOk;                                                   \
		}                                                                                    \
		*obj = nullptr;                                                                      \
		return ::Steinberg::kNoInterface;                                                    \
	}                                                                                        \
	::Steinberg::uint32 PLUGIN_API addRef () override { return 1; }                         \
	::Steinberg::uint32 PLUGIN_API release () override { return 1; }
