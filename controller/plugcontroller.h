// The edit controller: publishes the nine parameters, mirrors the processor's
// stored state into them, creates the editor from "plug.uidesc" and the
// about-box sub-controllers that its layout asks for.
#pragma once

#include "public.sdk/source/vst/vsteditcontroller.h"
#include "toolkit/vst3editorview.h"

#include <vector>

namespace Steinberg {
namespace Vst {

template <typename ControllerType>
class PlugAboutController;

class PlugController : public EditController, public VSTGUI::VST3EditorDelegate
{
public:
	using AboutController = PlugAboutController<PlugController>;

	PlugController () = default;
	~PlugController () override;

	static FUnknown* createInstance (void* context);

	tresult PLUGIN_API initialize (FUnknown* context) SMTG_OVERRIDE;
	tresult PLUGIN_API setComponentState (IBStream* state) SMTG_OVERRIDE;
	IPlugView* PLUGIN_API createView (FIDString name) SMTG_OVERRIDE;

	// Host input checks around the base's parameter queries: an index outside
	// the table, a null text buffer, or text that the parameter refuses (no
	// exception ever reaches the host, no NaN ever the value) give an error
	// result and leave the value argument as it was.
	tresult PLUGIN_API getParameterInfo (int32 paramIndex, ParameterInfo& info) SMTG_OVERRIDE;
	tresult PLUGIN_API getParamStringByValue (ParamID tag, ParamValue valueNormalized,
	                                          String128 string) SMTG_OVERRIDE;
	tresult PLUGIN_API getParamValueByString (ParamID tag, TChar* string,
	                                          ParamValue& valueNormalized) SMTG_OVERRIDE;

	VSTGUI::IController* createSubController (VSTGUI::UTF8StringPtr name,
	                                          const VSTGUI::IUIDescription* description,
	                                          VSTGUI::VST3Editor* editor) override;

	// The about sub-controllers that exist now, in order of creation. The
	// editor owns them; each one takes itself out when it is destroyed.
	void addAboutController (AboutController* controller);
	void removeAboutController (AboutController* controller);
	const std::vector<AboutController*>& getAboutControllers () const { return aboutControllers; }

private:
	void addParameters ();

	std::vector<AboutController*> aboutControllers;
};

} // namespace Vst
} // namespace Steinberg
