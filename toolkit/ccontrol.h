// The base of every control: a value between a minimum and a maximum, a
// default value, a tag, one listener plus registered control listeners, and
// counted edit brackets (nested beginEdit/endEdit pairs make one edit).
#pragma once

#include "cview.h"
#include "icontrollistener.h"

#include <vector>

namespace VSTGUI {

class CControl : public CView
{
public:
	CControl (const CRect& size, IControlListener* listener = nullptr, int32_t tag = -1,
	          CBitmap* background = nullptr);
	CControl (const CControl& other);
	~CControl () noexcept override;

	// Value, clamped to [min, max].
	virtual void setValue (float value);
	virtual float getValue () const { return value; }
	virtual void setValueNormalized (float normalized);
	virtual float getValueNormalized () const;

	virtual void setMin (float value) { vmin = value; }
	virtual float getMin () const { return vmin; }
	virtual void setMax (float value) { vmax = value; }
	virtual float getMax () const { return vmax; }
	float getRange () const { return getMax () - getMin (); }

	virtual void setOldValue (float value) { oldValue = value; }
	virtual float getOldValue () const { return oldValue; }
	virtual void setDefaultValue (float value) { defaultValue = value; }
	virtual float getDefaultValue () const { return defaultValue; }
	virtual void setWheelInc (float value) { wheelInc = value; }
	virtual float getWheelInc () const { return wheelInc; }

	// Clamps the value into [min, max].
	virtual void bounceValue ();

	virtual void setTag (int32_t value);
	int32_t getTag () const { return tag; }

	// Edit brackets: the listeners hear only the outermost begin and end.
	virtual void beginEdit ();
	virtual void endEdit ();
	bool isEditing () const { return editing > 0; }

	// The one listener (usually the editor or a sub-controller), not owned.
	virtual void setListener (IControlListener* newListener) { listener = newListener; }
	IControlListener* getListener () const { return listener; }
	// Further listeners, not owned; they hear everything the listener hears.
	void registerControlListener (IControlListener* controlListener);
	void unregisterControlListener (IControlListener* controlListener);

	// Tells the listener and the registered listeners that the value changed.
	virtual void valueChanged ();

	// The default-value click: when the process-wide predicate holds for
	// `buttons`, puts the control back to its default value (as one edit, and
	// only if the value differs) and returns true; otherwise returns false.
	virtual bool checkDefaultValue (CButtonState buttons);

	// The modifier state of a default-value click and the fine-adjustment
	// modifier of sliders and knobs, process-wide.
	static int32_t kDefaultValueModifier;
	static int32_t kZoomModifier;

	// The predicate that decides a default-value click; process-wide and replaceable.
	using DefaultValueClickPredicate = bool (*) (CControl* control, const CButtonState& buttons);
	static void setDefaultValueClickPredicate (DefaultValueClickPredicate predicate);
	static DefaultValueClickPredicate getDefaultValueClickPredicate ();

	void beforeDelete () override;

protected:
	template <typename Function>
	void forEachControlListener (Function&& function)
	{
		// A listener may unregister itself while it is told: iterate over a copy.
		const auto listeners = subListeners;
		for (auto* controlListener : listeners)
			function (controlListener);
	}

	IControlListener* listener {nullptr};
	int32_t tag {-1};
	float oldValue {1.f};
	float defaultValue {0.5f};
	float value {0.f};
	float vmin {0.f};
	float vmax {1.f};
	float wheelInc {0.1f};
	int32_t editing {0};

private:
	static DefaultValueClickPredicate defaultValueClickPredicate;
	std::vector<IControlListener*> subListeners;
};

} // namespace VSTGUI
