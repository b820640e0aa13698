#include "controller/plugcontroller.h"

#include "controller/ksexprangeparameter.h"
#include "controller/ksrangeparameter.h"
#include "controller/ksswitchparameter.h"
#include "controller/plugaboutcontroller.h"
#include "processor/plugids.h"
#include "processor/plugstate.h"

#include "pluginterfaces/vst/ivsthostapplication.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace Steinberg {
namespace Vst {

namespace {

// The editor's layout: the UI description file in the bundle's resources and
// the template that is the editor's root view.
constexpr char kEditorDescriptionFile[] = "plug.uidesc";
constexpr char kEditorTemplateName[] = "view";
// The sub-controller name under which the layout asks for an about box.
constexpr char kAboutControllerName[] = "AboutController";

constexpr ParamValue kBypassOff = 0.0;
constexpr ParamValue kBypassOn = 1.0;

enum class Mapping
{
	kLinear,
	kExponential
};

// The eight continuous parameters, in ID order. Only the plain default is
// given: each parameter derives its normalised default with its own mapping.
struct ContinuousParameterRow
{
	ParamID id;
	const TChar* title;
	const TChar* units;
	Mapping mapping;
	ParamValue minPlain;
	ParamValue maxPlain;
	ParamValue defaultPlain;
	int32 precision; // digits after the decimal point in the display string
};

const ContinuousParameterRow kContinuousParameters[] = {
    {kLevelId, STR16 ("Level"), STR16 ("dB"), Mapping::kLinear, -36., 12., 0., 2},
    {kMixId, STR16 ("Mix"), STR16 ("%"), Mapping::kLinear, 0., 100., 50., 0},
    {kPredelayId, STR16 ("Predelay"), STR16 ("ms"), Mapping::kExponential, 1., 250., 4., 1},
    {kRvbTimeId, STR16 ("Rvb Time"), STR16 ("s"), Mapping::kExponential, 0.2, 4., 1., 2},
    {kSizeId, STR16 ("Size"), STR16 ("m3"), Mapping::kExponential, 20., 1000., 200., 0},
    {kDiffusionId, STR16 ("Diffusion"), STR16 ("%"), Mapping::kLinear, 0., 100., 100., 0},
    {kHFDampId, STR16 ("HFDamp"), STR16 ("%"), Mapping::kLinear, 0., 100., 75., 0},
    {kLPCutId, STR16 ("LPCut"), STR16 ("Hz"), Mapping::kExponential, 500., 16000., 3000., 0},
};

Parameter* createContinuousParameter (const ContinuousParameterRow& row)
{
	const int32 flags = ParameterInfo::kCanAutomate;
	if (row.mapping == Mapping::kExponential)
		return new KSExpRangeParameter (row.title, row.id, row.units, flags, row.minPlain,
		                                row.maxPlain, row.defaultPlain);
	return new KSRangeParameter (row.title, row.id, row.units, flags, row.minPlain,
	                             row.maxPlain, row.defaultPlain);
}

} // namespace

//------------------------------------------------------------------------
FUnknown* PlugController::createInstance (void* /*context*/)
{
	auto* controller = new (std::nothrow) PlugController;
	return static_cast<IEditController*> (controller);
}

//------------------------------------------------------------------------
PlugController::~PlugController () = default;

//------------------------------------------------------------------------
tresult PLUGIN_API PlugController::initialize (FUnknown* context)
{
	// The base refuses a second call without terminate; the parameters of the
	// first call stay, and the host is not told of a failure. The count guards
	// the same case when the first call came without a host context.
	if (EditController::initialize (context) != kResultOk || parameters.getParameterCount () > 0)
		return kResultOk;

	try
	{
		addParameters ();
	}
	catch (...)
	{
		terminate ();
		return kOutOfMemory;
	}
	return kResultOk;
}

//------------------------------------------------------------------------
void PlugController::addParameters ()
{
	parameters.addParameter (new KSSwitchParameter (
	    STR16 ("Bypass"), kBypassId, ParameterInfo::kCanAutomate | ParameterInfo::kIsBypass, kBypassOff));

	for (const auto& row : kContinuousParameters)
	{
		Parameter* parameter = createContinuousParameter (row);
		parameter->setPrecision (row.precision);
		parameters.addParameter (parameter);
	}
}

//------------------------------------------------------------------------
tresult PLUGIN_API PlugController::setComponentState (IBStream* state)
{
	// Only a completely read state is applied: all nine values or none.
	PlugState stored;
	const tresult result = stored.read (state);
	if (result != kResultOk)
		return result;

	const ParamValue values[kNumParameters] = {
	    stored.bypass ? kBypassOn : kBypassOff,
	    stored.level,
	    stored.mix,
	    stored.predelay,
	    stored.rvbTime,
	    stored.size,
	    stored.diffusion,
	    stored.hfDamp,
	    stored.lpCut,
	};
	try
	{
		for (ParamID id = 0; id < kNumParameters; ++id)
		{
			// The parameters clamp values outside [0, 1]; a NaN is no value
			// at all, and the parameter falls back to its default instead.
			ParamValue value = values[id];
			if (std::isnan (value))
			{
				if (Parameter* parameter = getParameterObject (id))
					value = parameter->getInfo ().defaultNormalizedValue;
			}
			setParamNormalized (id, value);
		}
	}
	catch (...)
	{
		return kOutOfMemory;
	}
	return kResultOk;
}

//------------------------------------------------------------------------
tresult PLUGIN_API PlugController::getParameterInfo (int32 paramIndex, ParameterInfo& info)
{
	if (paramIndex < 0 || paramIndex >= getParameterCount ())
		return kResultFalse;
	return EditController::getParameterInfo (paramIndex, info);
}

//------------------------------------------------------------------------
tresult PLUGIN_API PlugController::getParamStringByValue (ParamID tag, ParamValue valueNormalized,
                                                         String128 string)
{
	if (!string)
		return kInvalidArgument;
	return EditController::getParamStringByValue (tag, valueNormalized, string);
}

//------------------------------------------------------------------------
tresult PLUGIN_API PlugController::getParamValueByString (ParamID tag, TChar* string,
                                                         ParamValue& valueNormalized)
{
	if (!string)
		return kInvalidArgument;
	try
	{
		ParamValue value = 0.0;
		const tresult result = EditController::getParamValueByString (tag, string, value);
		if (result != kResultTrue || std::isnan (value))
			return kResultFalse;
		valueNormalized = value;
		return kResultTrue;
	}
	catch (...)
	{
		return kResultFalse;
	}
}

//------------------------------------------------------------------------
IPlugView* PLUGIN_API PlugController::createView (FIDString name)
{
	if (!name || std::strcmp (name, ViewType::kEditor) != 0)
		return nullptr;

	// The editor's knobs drag linearly, whatever the host chose before.
	setKnobMode (kLinearMode);

	try
	{
		return new VSTGUI::VST3Editor (this, kEditorTemplateName, kEditorDescriptionFile);
	}
	catch (...)
	{
		return nullptr;
	}
}

//------------------------------------------------------------------------
VSTGUI::IController* PlugController::createSubController (
    VSTGUI::UTF8StringPtr name, const VSTGUI::IUIDescription* /*description*/,
    VSTGUI::VST3Editor* /*editor*/)
{
	if (!name || std::strcmp (name, kAboutControllerName) != 0)
		return nullptr;

	// Inside the SDK's Audio Unit wrapper the host context answers this interface.
	IVst3ToAUWrapper* auWrapper = nullptr;
	if (FUnknown* context = getHostContext ())
	{
		if (context->queryInterface (IVst3ToAUWrapper::iid, reinterpret_cast<void**> (&auWrapper)) !=
		    kResultOk)
			auWrapper = nullptr;
	}
	const bool isAU = auWrapper != nullptr;

	AboutController* aboutController = nullptr;
	try
	{
		// Room for the new entry first, so that listing it cannot fail.
		aboutControllers.reserve (aboutControllers.size () + 1);
		aboutController = new AboutController (this, isAU);
		addAboutController (aboutController);
	}
	catch (...)
	{
		aboutController = nullptr;
	}

	if (auWrapper)
		auWrapper->release ();
	return aboutController;
}

//------------------------------------------------------------------------
void PlugController::addAboutController (AboutController* controller)
{
	aboutControllers.push_back (controller);
}

//------------------------------------------------------------------------
void PlugController::removeAboutController (AboutController* controller)
{
	auto it = std::find (aboutControllers.begin (), aboutControllers.end (), controller);
	if (it != aboutControllers.end ())
		aboutControllers.erase (it);
}

} // namespace Vst
} // namespace Steinberg
