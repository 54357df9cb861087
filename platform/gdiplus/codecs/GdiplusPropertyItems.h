// Property items (metadata) the layer serves itself for the pictures it decodes: the engine never sees
// those files, so it could report none of their tags.
#pragma once

#include <vector>

#include "GdiplusDecode.h"

namespace Gdiplus {

// One item as the layer keeps it: the tag, the GDI+ type and the value bytes (little-endian).
struct StoredProperty {
    PROPID id = 0;
    WORD type = 0;
    std::vector<BYTE> value;
};

using PropertyList = std::vector<StoredProperty>;

// Adds the item, or replaces the value of the one with its tag.
void PutProperty(PropertyList& list, PROPID id, WORD type, const void* value, size_t length);

// The JPEG's EXIF tags (first IFD, EXIF and GPS directories) and its quantisation tables, as GDI+
// lists them. Reads at most the segments before the first scan; an entry that reaches past its segment
// is left out.
void ReadJpegProperties(PictureBytes& bytes, PropertyList& list);

// The members of Image's property family over a list, with GDI+'s statuses and layouts.
UINT PropertyItemBytes(const StoredProperty& item);
Status CopyPropertyIds(const PropertyList& list, UINT count, PROPID* ids);
Status FindPropertySize(const PropertyList& list, PROPID id, UINT* size);
Status CopyPropertyItem(const PropertyList& list, PROPID id, UINT size, PropertyItem* buffer);
Status TotalPropertySize(const PropertyList& list, UINT* totalBytes, UINT* count);
Status CopyAllPropertyItems(const PropertyList& list, UINT totalBytes, UINT count, PropertyItem* items);
Status RemoveProperty(PropertyList& list, PROPID id);
Status SetProperty(PropertyList& list, const PropertyItem* item);

}  // namespace Gdiplus
