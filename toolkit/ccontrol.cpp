#include "toolkit/ccontrol.h"

#include <algorithm>
#include <cmath>

namespace VSTGUI {

CControl::CControl (const CRect& size, IControlListener* listener, int32_t tag, CBitmap* background)
: CView (size), listener (listener), tag (tag)
{
	setBackground (background);
	setDirty (false);
}

CControl::CControl (const CControl& other)
: CView (other)
, listener (other.listener)
, tag (other.tag)
, oldValue (other.oldValue)
, defaultValue (other.defaultValue)
, value (other.value)
, vmin (other.vmin)
, vmax (other.vmax)
, wheelInc (other.wheelInc)
{
	// A copy is not editing and has no registered listeners.
}

CControl::~CControl () noexcept = default;

void CControl::setValue (float newValue)
{
	// A value that is not a number is no value: the control keeps its own.
	if (std::isnan (newValue))
		return;
	value = std::min (std::max (newValue, getMin ()), getMax ());
}

void CControl::setValueNormalized (float normalized)
{
	if (std::isnan (normalized))
		return;
	normalized = std::min (std::max (normalized, 0.f), 1.f);
	setValue (getMin () + normalized * getRange ());
}

float CControl::getValueNormalized () const
{
	const float range = getRange ();
	if (range == 0.f)
		return 0.f;
	return (value - getMin ()) / range;
}

void CControl::bounceValue ()
{
	setValue (value);
}

void CControl::setTag (int32_t newTag)
{
	if (newTag == tag)
		return;
	if (listener)
		listener->controlTagWillChange (this);
	forEachControlListener ([&] (IControlListener* l) { l->controlTagWillChange (this); });
	tag = newTag;
	if (listener)
		listener->controlTagDidChange (this);
	forEachControlListener ([&] (IControlListener* l) { l->controlTagDidChange (this); });
}

void CControl::beginEdit ()
{
	if (++editing != 1)
		return;
	if (listener)
		listener->controlBeginEdit (this);
	forEachControlListener ([&] (IControlListener* l) { l->controlBeginEdit (this); });
}

void CControl::endEdit ()
{
	// An unmatched endEdit is ignored rather than unbalancing the count.
	if (editing <= 0)
		return;
	if (--editing != 0)
		return;
	if (listener)
		listener->controlEndEdit (this);
	forEachControlListener ([&] (IControlListener* l) { l->controlEndEdit (this); });
}

void CControl::registerControlListener (IControlListener* controlListener)
{
	if (controlListener &&
	    std::find (subListeners.begin (), subListeners.end (), controlListener) == subListeners.end ())
		subListeners.push_back (controlListener);
}

void CControl::unregisterControlListener (IControlListener* controlListener)
{
	auto it = std::find (subListeners.begin (), subListeners.end (), controlListener);
	if (it != subListeners.end ())
		subListeners.erase (it);
}

void CControl::valueChanged ()
{
	if (listener)
		listener->valueChanged (this);
	forEachControlListener ([&] (IControlListener* l) { l->valueChanged (this); });
}

bool CControl::checkDefaultValue (CButtonState buttons)
{
	if (!defaultValueClickPredicate || !defaultValueClickPredicate (this, buttons))
		return false;

	const float defaultPlain = getDefaultValue ();
	if (defaultPlain != getValue ())
	{
		beginEdit ();
		setValue (defaultPlain);
		valueChanged ();
		endEdit ();
		invalid ();
	}
	return true;
}

void CControl::setDefaultValueClickPredicate (DefaultValueClickPredicate predicate)
{
	defaultValueClickPredicate = predicate;
}

CControl::DefaultValueClickPredicate CControl::getDefaultValueClickPredicate ()
{
	return defaultValueClickPredicate;
}

void CControl::beforeDelete ()
{
	// An edit still open when the control goes away is closed for the listeners.
	if (editing > 0)
	{
		editing = 1;
		endEdit ();
	}
	CView::beforeDelete ();
}

} // namespace VSTGUI
