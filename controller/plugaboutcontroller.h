// The about box's sub-controller. It finds the about box's on/off button and
// text label among the views the editor creates beneath it; while the button
// is on, the label shows one information line: version, plug-in format and
// machine architecture. The editor owns it; the controller lists it until
// its destructor takes it out of the list.
#pragma once

#include "controller/aboutarchitecture.h"
#include "toolkit/cbuttons.h"
#include "toolkit/ctextlabel.h"
#include "toolkit/icontroller.h"
#include "toolkit/iviewlistener.h"

#include "base/source/fstring.h"

namespace Steinberg {
namespace Vst {

template <typename ControllerType>
class PlugAboutController : public VSTGUI::IController, public VSTGUI::ViewListenerAdapter
{
public:
	PlugAboutController (ControllerType* controller, bool isAU) : controller (controller)
	{
		formatName = kVst3FormatName;
		version = kVersion;
		architecture = currentArchitecture ().c_str ();
		if (isAU)
			formatName = kAuFormatName;
	}

	~PlugAboutController () override
	{
		if (infoLabel)
		{
			infoLabel->unregisterViewListener (this);
			infoLabel = nullptr;
		}
		if (infoButton)
			viewWillDelete (infoButton);
		if (controller)
			controller->removeAboutController (this);
	}

	PlugAboutController (const PlugAboutController&) = delete;
	PlugAboutController& operator= (const PlugAboutController&) = delete;

	VSTGUI::CView* verifyView (VSTGUI::CView* view, const VSTGUI::UIAttributes& /*attributes*/,
	                           const VSTGUI::IUIDescription* /*description*/) override
	{
		if (!view)
			return nullptr;
		if (auto* label = dynamic_cast<VSTGUI::CTextLabel*> (view))
		{
			// One label is remembered: a later one takes the place of the first,
			// which is no longer watched.
			if (infoLabel && infoLabel != label)
				infoLabel->unregisterViewListener (this);
			infoLabel = label;
			infoLabel->registerViewListener (this);
			infoLabel->setText ("");
		}
		if (auto* button = dynamic_cast<VSTGUI::COnOffButton*> (view))
		{
			if (infoButton && infoButton != button)
				forgetButton ();
			infoButton = button;
			infoButton->registerControlListener (this);
			// Watched for deletion too, so that a button deleted before this
			// object is not touched afterwards.
			infoButton->registerViewListener (this);
			valueChanged (infoButton);
		}
		return view;
	}

	void valueChanged (VSTGUI::CControl* control) override
	{
		if (!control || control != infoButton)
			return;
		String text;
		if (infoButton->getValue () != 0.f)
		{
			text.append (version);
			text.append (", ");
			text.append (formatName);
			text.append (" ");
			text.append (architecture);
			text.append (" ");
			text.append (extraInfo1);
			text.append (" ");
			text.append (extraInfo2);
		}
		if (infoLabel)
			infoLabel->setText (VSTGUI::UTF8String (text.text8 ()));
	}

	void viewWillDelete (VSTGUI::CView* view) override
	{
		if (!view)
			return;
		if (view == infoLabel)
		{
			infoLabel->unregisterViewListener (this);
			infoLabel = nullptr;
		}
		if (view == infoButton)
			forgetButton ();
	}

	// The texts of the information line.
	const String& getFormatName () const { return formatName; }
	const String& getVersion () const { return version; }
	const String& getArchitecture () const { return architecture; }

	static constexpr const char* kVst3FormatName = "VST3";
	static constexpr const char* kAuFormatName = "AU";
	static constexpr const char* kVersion = "1.0.0";

private:
	void forgetButton ()
	{
		infoButton->unregisterControlListener (this);
		infoButton->unregisterViewListener (this);
		infoButton = nullptr;
	}

	ControllerType* controller;
	VSTGUI::COnOffButton* infoButton {nullptr};
	VSTGUI::CTextLabel* infoLabel {nullptr};
	String formatName;
	String version;
	String architecture;
	String extraInfo2;
	String extraInfo1;
};

} // namespace Vst
} // namespace Steinberg
