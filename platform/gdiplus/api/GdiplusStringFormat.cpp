// String formats: copies, the engine's shared formats, flags, tab stops, trimming and hotkey prefixes.
#include "../Gdiplus.h"

namespace Gdiplus {

StringFormat::StringFormat(DllExports::GpStringFormat* format, Status status) : nativeFormat(format)
{
    SetStatus(status);
}

StringFormat::StringFormat(const StringFormat* format)
{
    SetStatus(DllExports::GdipCloneStringFormat(format ? format->NativeFormat() : nullptr, &nativeFormat));
    typographic = format && format->typographic;
    if (format) measurableRanges = format->measurableRanges;
}

// The engine owns these two formats (deleting them does nothing); the objects naming them live as long as
// the process, as GDI+'s do.
const StringFormat* StringFormat::GenericDefault()
{
    static StringFormat* format = [] {
        DllExports::GpStringFormat* native = nullptr;
        Status status = DllExports::GdipStringFormatGetGenericDefault(&native);
        return new StringFormat(native, status);
    }();
    return format;
}

const StringFormat* StringFormat::GenericTypographic()
{
    static StringFormat* format = [] {
        DllExports::GpStringFormat* native = nullptr;
        Status status = DllExports::GdipStringFormatGetGenericTypographic(&native);
        auto* typographic = new StringFormat(native, status);
        typographic->typographic = true;
        return typographic;
    }();
    return format;
}

Status StringFormat::SetFormatFlags(INT flags)
{
    return SetStatus(DllExports::GdipSetStringFormatFlags(nativeFormat, flags));
}

INT StringFormat::GetFormatFlags() const
{
    INT flags = 0;
    SetStatus(DllExports::GdipGetStringFormatFlags(nativeFormat, &flags));
    return flags;
}

Status StringFormat::SetTabStops(REAL firstTabOffset, INT count, const REAL* tabStops)
{
    return SetStatus(DllExports::GdipSetStringFormatTabStops(nativeFormat, firstTabOffset, count, tabStops));
}

INT StringFormat::GetTabStopCount() const
{
    INT count = 0;
    SetStatus(DllExports::GdipGetStringFormatTabStopCount(nativeFormat, &count));
    return count;
}

Status StringFormat::GetTabStops(INT count, REAL* firstTabOffset, REAL* tabStops) const
{
    return SetStatus(DllExports::GdipGetStringFormatTabStops(nativeFormat, count, firstTabOffset, tabStops));
}

Status StringFormat::SetTrimming(StringTrimming trimming)
{
    return SetStatus(DllExports::GdipSetStringFormatTrimming(nativeFormat, trimming));
}

StringTrimming StringFormat::GetTrimming() const
{
    StringTrimming trimming = StringTrimmingNone;
    SetStatus(DllExports::GdipGetStringFormatTrimming(nativeFormat, &trimming));
    return trimming;
}

Status StringFormat::SetHotkeyPrefix(HotkeyPrefix hotkeyPrefix)
{
    return SetStatus(DllExports::GdipSetStringFormatHotkeyPrefix(nativeFormat, hotkeyPrefix));
}

HotkeyPrefix StringFormat::GetHotkeyPrefix() const
{
    INT prefix = HotkeyPrefixNone;
    SetStatus(DllExports::GdipGetStringFormatHotkeyPrefix(nativeFormat, &prefix));
    return static_cast<HotkeyPrefix>(prefix);
}

Status StringFormat::SetMeasurableCharacterRanges(INT rangeCount, const CharacterRange* ranges)
{
    const Status status = DllExports::GdipSetStringFormatMeasurableCharacterRanges(nativeFormat, rangeCount, ranges);
    if (status == Ok) measurableRanges.assign(ranges, ranges + rangeCount);
    return SetStatus(status);
}

INT StringFormat::GetMeasurableCharacterRangeCount() const
{
    INT count = 0;
    SetStatus(DllExports::GdipGetStringFormatMeasurableCharacterRangeCount(nativeFormat, &count));
    return count;
}

}  // namespace Gdiplus
