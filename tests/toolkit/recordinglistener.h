// A control listener that records what it hears.
#pragma once

#include "toolkit/ccontrol.h"

#include <string>
#include <vector>

namespace CalvirToolkitTest {

class RecordingListener : public VSTGUI::IControlListener
{
public:
	void valueChanged (VSTGUI::CControl* control) override
	{
		++changes;
		values.push_back (control->getValue ());
		events.push_back ('v');
	}
	void controlBeginEdit (VSTGUI::CControl*) override
	{
		++begins;
		events.push_back ('b');
	}
	void controlEndEdit (VSTGUI::CControl*) override
	{
		++ends;
		events.push_back ('e');
	}

	int changes {0};
	int begins {0};
	int ends {0};
	std::vector<float> values;
	std::string events;
};

} // namespace CalvirToolkitTest
