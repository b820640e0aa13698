// The parameter classes on their own: construction, mappings, display
// strings and typed values.
#include "controller/ksexprangeparameter.h"
#include "controller/ksrangeparameter.h"
#include "controller/ksswitchparameter.h"

#include "base/source/fobject.h"
#include "pluginterfaces/base/ustring.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <locale.h>
#include <string>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define CALVIR_LEAK_CHECKER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CALVIR_LEAK_CHECKER 1
#endif
#endif
#if CALVIR_LEAK_CHECKER
#include <sanitizer/lsan_interface.h>
#endif

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

std::u16string text (const TChar* string)
{
	return std::u16string (reinterpret_cast<const char16_t*> (string));
}

std::u16string display (const Parameter& parameter, ParamValue valueNormalized)
{
	String128 string;
	for (auto& unit : string)
		unit = u'#'; // so that a missing terminator shows
	parameter.toString (valueNormalized, string);
	return text (string);
}

double roundToSixPlaces (double value)
{
	return std::round (value * 1e6) / 1e6;
}

IPtr<KSRangeParameter> makeLevel ()
{
	auto level = owned (new KSRangeParameter (STR16 ("Level"), 1, STR16 ("dB"),
	                                          ParameterInfo::kCanAutomate, -36., 12., 0.));
	level->setPrecision (2);
	return level;
}

IPtr<KSExpRangeParameter> makePredelay ()
{
	auto predelay = owned (new KSExpRangeParameter (STR16 ("Predelay"), 3, STR16 ("ms"),
	                                                ParameterInfo::kCanAutomate, 1., 250., 4.));
	predelay->setPrecision (1);
	return predelay;
}

} // namespace

TEST (KSRangeParameter, ConstructionFillsInfoWithLinearDefault)
{
	auto level = makeLevel ();
	const ParameterInfo& info = level->getInfo ();
	EXPECT_EQ (info.id, 1u);
	EXPECT_EQ (text (info.title), u"Level");
	EXPECT_EQ (text (info.units), u"dB");
	EXPECT_EQ (text (info.shortTitle), u"");
	EXPECT_EQ (info.stepCount, 0);
	EXPECT_EQ (info.unitId, kRootUnitId);
	EXPECT_EQ (info.flags, ParameterInfo::kCanAutomate);
	EXPECT_EQ (info.defaultNormalizedValue, 0.75);
	EXPECT_EQ (level->getNormalized (), 0.75);
	EXPECT_EQ (level->getMin (), -36.);
	EXPECT_EQ (level->getMax (), 12.);
	EXPECT_TRUE (level->isTypeOf ("RangeParameter"));
}

TEST (KSRangeParameter, DisplayClampsOnlyValuesNearZero)
{
	auto level = makeLevel ();
	EXPECT_EQ (display (*level, 0.75), u"0.00");
	EXPECT_EQ (display (*level, 0.), u"-36.00");
	EXPECT_EQ (display (*level, 1.), u"12.00");

	const ParamValue nearZero = level->toNormalized (-0.00003);
	ASSERT_LT (std::fabs (level->toPlain (nearZero)), 5e-5);
	ASSERT_LT (level->toPlain (nearZero), 0.);
	EXPECT_EQ (display (*level, nearZero), u"0.00");

	// Outside the clamp the format itself rounds to a negative zero.
	EXPECT_EQ (display (*level, level->toNormalized (-0.001)), u"-0.00");
}

TEST (KSRangeParameter, DisplayIgnoresStepCountAndPrintsNoUnits)
{
	auto mix = owned (new KSRangeParameter (STR16 ("Mix"), 2, STR16 ("%"),
	                                        ParameterInfo::kCanAutomate, 0., 100., 50.));
	mix->setPrecision (0);
	EXPECT_EQ (display (*mix, 0.5), u"50");
	EXPECT_EQ (display (*mix, 0.755), u"76");

	// A one-step parameter of this class still shows numbers, never On/Off.
	mix->getInfo ().stepCount = 1;
	EXPECT_EQ (display (*mix, 1.), u"100");
}

TEST (KSExpRangeParameter, DefaultsMapExponentiallyAndBack)
{
	struct Row
	{
		ParamValue min, max, defaultPlain, expectedNormalized;
	};
	const Row rows[] = {
	    {1., 250., 4., 0.251074},     // Predelay
	    {0.2, 4., 1., 0.537244},      // Rvb Time
	    {20., 1000., 200., 0.588592}, // Size
	    {500., 16000., 3000., 0.516993}, // LPCut
	};
	for (const auto& row : rows)
	{
		auto p = owned (new KSExpRangeParameter (STR16 ("p"), 0, nullptr,
		                                         ParameterInfo::kCanAutomate, row.min, row.max,
		                                         row.defaultPlain));
		const ParamValue normalized = p->getInfo ().defaultNormalizedValue;
		EXPECT_EQ (roundToSixPlaces (normalized), row.expectedNormalized) << row.defaultPlain;
		EXPECT_EQ (p->getNormalized (), normalized);
		EXPECT_NEAR (p->toPlain (normalized), row.defaultPlain, row.defaultPlain * 1e-12);
	}
}

TEST (KSExpRangeParameter, MappingEnds)
{
	auto predelay = makePredelay ();
	EXPECT_EQ (predelay->toPlain (0.), 1.);
	EXPECT_NEAR (predelay->toPlain (1.), 250., 1e-12);
	EXPECT_EQ (predelay->toNormalized (1.), 0.);
	EXPECT_EQ (predelay->toNormalized (250.), 1.);
	// No clamp in either direction.
	EXPECT_NEAR (predelay->toPlain (2.), 62500., 1e-8);
	EXPECT_LT (predelay->toNormalized (0.5), 0.);
	EXPECT_GT (predelay->toNormalized (300.), 1.);
}

TEST (KSExpRangeParameter, DisplayAtTheEndsOfTheRange)
{
	auto predelay = makePredelay ();
	EXPECT_EQ (display (*predelay, 0.), u"1.0");
	EXPECT_EQ (display (*predelay, 1.), u"250.0");
	EXPECT_EQ (display (*predelay, predelay->getInfo ().defaultNormalizedValue), u"4.0");
	// No zero clamp in the exponential class: the value prints as it is.
	auto small = owned (new KSExpRangeParameter (STR16 ("s"), 0, nullptr,
	                                             ParameterInfo::kCanAutomate, 1e-6, 1., 1e-6));
	small->setPrecision (6);
	EXPECT_EQ (display (*small, 0.), u"0.000001");
}

TEST (ParameterClasses, UnsetPrecisionPrintsFourDigits)
{
	auto linear = owned (new KSRangeParameter (STR16 ("l"), 0, nullptr,
	                                           ParameterInfo::kCanAutomate, 0., 1., 0.));
	auto exponential = owned (new KSExpRangeParameter (STR16 ("e"), 0, nullptr,
	                                                   ParameterInfo::kCanAutomate, 1., 4., 1.));
	EXPECT_EQ (linear->getPrecision (), 4);
	EXPECT_EQ (display (*linear, 0.5), u"0.5000");
	EXPECT_EQ (display (*exponential, 0.5), u"2.0000");
}

TEST (ParameterClasses, NullUnitsAndOverlongTitle)
{
	std::u16string longTitle (200, u'x');
	auto linear = owned (new KSRangeParameter (reinterpret_cast<const TChar*> (longTitle.c_str ()),
	                                           0, nullptr, ParameterInfo::kCanAutomate, 0., 1., 0.));
	auto exponential = owned (new KSExpRangeParameter (
	    reinterpret_cast<const TChar*> (longTitle.c_str ()), 0, nullptr,
	    ParameterInfo::kCanAutomate, 1., 2., 1.));
	for (const Parameter* p : {static_cast<Parameter*> (linear), static_cast<Parameter*> (exponential)})
	{
		EXPECT_EQ (text (p->getInfo ().units), u"");
		EXPECT_EQ (text (p->getInfo ().title), std::u16string (127, u'x'));
	}
}

TEST (ParameterClasses, TypedValuesClampAndMapWithTheClassMapping)
{
	auto predelay = makePredelay ();
	auto level = makeLevel ();
	ParamValue value = -1.;

	ASSERT_TRUE (predelay->fromString (STR16 ("300"), value));
	EXPECT_EQ (value, 1.);
	ASSERT_TRUE (predelay->fromString (STR16 ("4"), value));
	EXPECT_EQ (value, predelay->getInfo ().defaultNormalizedValue);
	ASSERT_TRUE (predelay->fromString (STR16 (" 125.0 ms"), value));
	EXPECT_EQ (value, predelay->toNormalized (125.));

	// Text with no number reads as 0, then clamps into the range.
	ASSERT_TRUE (predelay->fromString (STR16 ("abc"), value));
	EXPECT_EQ (value, 0.);
	ASSERT_TRUE (level->fromString (STR16 ("abc"), value));
	EXPECT_EQ (value, 0.75);
	ASSERT_TRUE (level->fromString (STR16 (""), value));
	EXPECT_EQ (value, 0.75);
	ASSERT_TRUE (level->fromString (STR16 ("-6"), value));
	EXPECT_EQ (value, 0.625);
	ASSERT_TRUE (level->fromString (STR16 ("-100"), value));
	EXPECT_EQ (value, 0.);
}

// A numeric locale with a decimal comma, built on the fly (the machine may
// have none installed) and switched on for the calling thread.
class DecimalCommaLocale
{
public:
	DecimalCommaLocale ()
	{
		namespace fs = std::filesystem;
		folder = fs::temp_directory_path () / ("calvir-locale-" + std::to_string (getpid ()));
		fs::create_directories (folder);
		const std::string command = "localedef -i de_DE -f UTF-8 '" + (folder / "de_DE.UTF-8").string () +
		                            "' >/dev/null 2>&1";
		if (std::system (command.c_str ()) != 0)
			return;
		setenv ("LOCPATH", folder.c_str (), 1);
		{
#if CALVIR_LEAK_CHECKER
			// glibc keeps a few bytes of a locale loaded from LOCPATH for good.
			__lsan::ScopedDisabler glibcKeepsLocalePath;
#endif
			locale = newlocale (LC_NUMERIC_MASK, "de_DE.UTF-8", static_cast<locale_t> (nullptr));
		}
		unsetenv ("LOCPATH");
		if (locale)
			previous = uselocale (locale);
	}
	~DecimalCommaLocale ()
	{
		if (locale)
		{
			uselocale (previous);
			freelocale (locale);
		}
		std::error_code ignored;
		std::filesystem::remove_all (folder, ignored);
	}

	bool active () const
	{
		char text[16];
		std::snprintf (text, sizeof (text), "%.1f", 1.5);
		return locale && std::string (text) == "1,5";
	}

private:
	std::filesystem::path folder;
	locale_t locale {nullptr};
	locale_t previous {nullptr};
};

TEST (ParameterClasses, NumbersUseTheDecimalPointWhateverTheHostsLocale)
{
	auto predelay = makePredelay ();
	auto level = makeLevel ();
	const DecimalCommaLocale comma;
	if (!comma.active ())
		GTEST_SKIP () << "no locale with a decimal comma could be made";

	EXPECT_EQ (display (*level, 0.), u"-36.00");
	EXPECT_EQ (display (*predelay, 0.), u"1.0");
	ParamValue value = -1.;
	ASSERT_TRUE (level->fromString (STR16 ("-6.5"), value));
	EXPECT_EQ (value, level->toNormalized (-6.5));
	auto bypass = owned (new KSSwitchParameter (STR16 ("Bypass"), 0, ParameterInfo::kCanAutomate, 0.));
	ASSERT_TRUE (bypass->fromString (STR16 ("0.75"), value));
	EXPECT_EQ (value, 0.75);
	// The host's own formatting is left as it was.
	EXPECT_TRUE (comma.active ());
}

TEST (ParameterClasses, HostTextThatIsNotANumberIsHandledSafely)
{
	auto predelay = makePredelay ();
	auto level = makeLevel ();
	ParamValue value = 0.5;

	EXPECT_FALSE (predelay->fromString (nullptr, value));
	EXPECT_FALSE (level->fromString (nullptr, value));
	EXPECT_EQ (value, 0.5);

	// "nan" is no number: it reads as 0 and never reaches the parameter as NaN.
	ASSERT_TRUE (level->fromString (STR16 ("nan"), value));
	EXPECT_EQ (value, 0.75);
	ASSERT_TRUE (predelay->fromString (STR16 ("inf"), value));
	EXPECT_EQ (value, 1.);

	// A lone surrogate ends the number; it is no error.
	const TChar withSurrogate[] = {u'1', u'2', 0xD800, u'5', 0};
	ASSERT_TRUE (level->fromString (withSurrogate, value));
	EXPECT_EQ (value, level->toNormalized (12.));
}

TEST (ParameterClasses, DisplayOfExtremeValuesStaysInTheBuffer)
{
	auto level = makeLevel ();
	auto predelay = makePredelay ();
	// Plain values whose text would not fit 128 units give an empty string.
	EXPECT_EQ (display (*level, 1e300), u"");
	EXPECT_EQ (display (*level, -1e300), u"");
	EXPECT_EQ (display (*predelay, 1e300), u"inf");
	EXPECT_EQ (display (*level, std::nan ("")), u"nan");
	// The longest text that fits: 127 characters.
	auto wide = owned (new KSRangeParameter (STR16 ("w"), 0, nullptr,
	                                         ParameterInfo::kCanAutomate, 0., 1., 0.));
	wide->setPrecision (125);
	EXPECT_EQ (display (*wide, 0.).size (), 127u);
	wide->setPrecision (126);
	EXPECT_EQ (display (*wide, 0.), u"");
}
