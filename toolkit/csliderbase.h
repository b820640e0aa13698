// The slider family: a handle that moves along one axis between the two ends
// of the view. CSliderBase holds the geometry, the mouse and wheel handling
// and the ramp; CSlider adds the handle bitmap; CHorizontalSlider and
// CVerticalSlider fix the orientation.
//
// Geometry, along the slider axis (x for a horizontal slider, y for a
// vertical one):
//   base   = the view's leading edge + the handle offset on that axis
//   travel = the view's length - the handle's length - 2 * the handle offset
//   the handle's leading edge lies at base + trunc(v * travel), where v is
//   the normalised value, or 1 - that value when the minimum lies at the far
//   end (kRight or kBottom).
#pragma once

#include "ccontrol.h"
#include "cmousewheeleditingsupport.h"
#include "cvstguitimer.h"
#include "ui/slidermode.h"

namespace VSTGUI {

class CSliderBase : public CControl, protected CMouseWheelEditingSupport
{
public:
	// Style bits: one orientation bit and, per orientation, the end where the
	// minimum lies (kLeft or kRight for a horizontal slider, kTop or kBottom
	// for a vertical one).
	enum Style : int32_t
	{
		kHorizontal = 1 << 0,
		kVertical = 1 << 1,
		kLeft = 1 << 2,
		kRight = 1 << 3,
		kTop = 1 << 4,
		kBottom = 1 << 5,

		kOrientationMask = kHorizontal | kVertical,
		kHorizontalEndMask = kLeft | kRight,
		kVerticalEndMask = kTop | kBottom,
	};

	// Default fine-adjustment divisor: with the zoom modifier the value goes a
	// tenth of the way from its reference toward the pointer.
	static constexpr float kDefaultZoomFactor = 10.f;
	// Handle width and height, in view units, until a handle bitmap gives them.
	static constexpr CCoord kDefaultHandleLength = 1.;
	// The ramp moves the value once per tick of this period, in milliseconds...
	static constexpr uint32_t kRampTimerPeriodMs = 16;
	// ...by at most this much of the normalised range.
	static constexpr float kRampStepNormalized = 0.02f;

	CSliderBase (const CRect& size, IControlListener* listener, int32_t tag, int32_t style,
	             const CPoint& offsetHandle = CPoint ());
	CSliderBase (const CSliderBase& other);
	~CSliderBase () noexcept override;
	CSliderBase& operator= (const CSliderBase&) = delete;

	// Style; changing it keeps the handle geometry consistent.
	virtual void setStyle (int32_t style);
	int32_t getStyle () const { return style; }
	bool isHorizontal () const { return (style & kHorizontal) != 0; }
	// The minimum lies at the right or bottom end, the far end in view coordinates.
	bool hasFarMinimum () const { return (style & (kRight | kBottom)) != 0; }

	// Offset of the handle's travel from the view's edges, in view units.
	virtual void setOffsetHandle (const CPoint& offset);
	const CPoint& getOffsetHandle () const { return offsetHandle; }

	CCoord getHandleWidth () const { return handleWidth; }
	CCoord getHandleHeight () const { return handleHeight; }
	// How far the handle's leading edge moves from minimum to maximum.
	CCoord getHandleTravel () const { return handleTravel; }

	// Fine-adjustment divisor; only positive finite factors are taken.
	virtual void setZoomFactor (float factor);
	float getZoomFactor () const { return zoomFactor; }

	// The slider's own mode (UseGlobal: follow the global mode).
	void setSliderMode (CSliderMode mode);
	CSliderMode getSliderMode () const;
	// The own mode, or the global mode when the own mode is UseGlobal.
	CSliderMode getEffectiveSliderMode () const;
	// The process-wide mode of every slider whose own mode is UseGlobal.
	static void setGlobalMode (CSliderMode mode);
	static CSliderMode getGlobalMode ();

	// The drag offset for a mouse-down at `where`; fills `handleRect` with the
	// handle's current rectangle when one is given (except in FreeClick mode).
	float calculateDelta (const CPoint& where, CRect* handleRect = nullptr) const;

	void setViewSize (const CRect& rect, bool invalidate = true) override;

	CMouseEventResult onMouseDown (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseUp (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseMoved (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseCancel () override;
	bool onWheel (const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
	              const CButtonState& buttons) override;

	// The drag offset of the current (or last) mouse-down.
	double getDragOffset () const { return dragOffset; }
	// True while the ramp moves the handle toward the pointer.
	bool isRamping () const { return rampTimer != nullptr; }

	void beforeDelete () override;

protected:
	// Handle size in view units, from the handle bitmap (or the default).
	void setHandleSize (CCoord width, CCoord height);

	// Coordinate of `p` along the slider axis.
	CCoord along (const CPoint& p) const { return isHorizontal () ? p.x : p.y; }
	// Handle length along the slider axis.
	CCoord getHandleLength () const { return isHorizontal () ? handleWidth : handleHeight; }
	// Where the handle's leading edge lies at the minimum, along the axis.
	CCoord getHandleBase () const;
	// The handle's leading edge along the axis for the current value.
	CCoord getHandlePosition () const;
	// The handle's rectangle for a leading edge at `position`.
	CRect getHandleRect (CCoord position) const;

private:
	void updateHandleTravel ();
	// Sets the value from a normalised position, telling the listeners when it changed.
	void applyNormalizedValue (double normalized);
	void startRamp ();
	void stopRamp ();
	void onRampTimer ();
	void endMouseEdit ();
	// At a mouse-down: the fine-adjustment reference unset, the buttons remembered.
	void resetFineAdjustment (const CButtonState& buttons);
	// The unset reference lies this far below the control's minimum.
	static constexpr float kUnsetFineReferenceBelowMin = 1.f;
	float unsetFineReference () const { return getMin () - kUnsetFineReferenceBelowMin; }
	// On a move with the left button: where the fine adjustment starts from.
	void updateFineReference (const CButtonState& buttons);

	int32_t style;
	CPoint offsetHandle;
	CCoord handleWidth {kDefaultHandleLength};
	CCoord handleHeight {kDefaultHandleLength};
	CCoord handleTravel {0.};
	float zoomFactor {kDefaultZoomFactor};
	CSliderMode mode {CSliderMode::UseGlobal};

	// State of one mouse gesture, from mouse-down to mouse-up or cancel.
	double dragOffset {0.};
	float startValue {0.f};
	CPoint startPoint;          // the mouse-down point; the ramp's target, following the pointer
	bool mouseEditing {false};  // a drag holds an edit open
	// Fine adjustment: the normalised value the zoomed moves start from (the
	// control's minimum - 1 while unset), and the buttons it was taken with.
	float fineReference {0.f};
	CButtonState fineButtons;
	SharedPointer<CVSTGUITimer> rampTimer;
};

// A slider whose handle may be a bitmap: the bitmap gives the handle's size.
class CSlider : public CSliderBase
{
public:
	CSlider (const CRect& size, IControlListener* listener = nullptr, int32_t tag = -1,
	         CBitmap* handle = nullptr, CBitmap* background = nullptr,
	         const CPoint& offsetHandle = CPoint (), int32_t style = kLeft | kHorizontal);
	CSlider (const CSlider& other);

	// The handle bitmap; none gives the default handle size.
	virtual void setHandle (CBitmap* bitmap);
	CBitmap* getHandle () const { return handle; }

private:
	SharedPointer<CBitmap> handle;
};

// A slider along x; the minimum lies at the left unless the style says kRight.
class CHorizontalSlider : public CSlider
{
public:
	CHorizontalSlider (const CRect& size, IControlListener* listener = nullptr, int32_t tag = -1,
	                   CBitmap* handle = nullptr, CBitmap* background = nullptr,
	                   const CPoint& offsetHandle = CPoint (), int32_t style = kLeft);
};

// A slider along y; the minimum lies at the bottom unless the style says kTop.
class CVerticalSlider : public CSlider
{
public:
	CVerticalSlider (const CRect& size, IControlListener* listener = nullptr, int32_t tag = -1,
	                 CBitmap* handle = nullptr, CBitmap* background = nullptr,
	                 const CPoint& offsetHandle = CPoint (), int32_t style = kBottom);
};

} // namespace VSTGUI
