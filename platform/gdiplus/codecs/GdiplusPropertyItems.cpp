// Property items kept by the layer, and the JPEG reader that finds them (EXIF and quantisation tables).
#include "GdiplusPropertyItems.h"

#include <algorithm>
#include <cstring>

namespace Gdiplus {

namespace {

const PROPID kLuminanceTable = 0x5090;
const PROPID kChrominanceTable = 0x5091;
const PROPID kExifDirectory = 0x8769;
const PROPID kGpsDirectory = 0x8825;
// More segments than any real JPEG has before its first scan; a file of empty segments stops here.
const int kMaxSegments = 1024;

// The natural (row by row) position of each coefficient of a quantisation table stored in zigzag order.
const BYTE kZigzagToNatural[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                                   12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                                   35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                                   58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// A TIFF structure (an EXIF block) held in memory, read in its own byte order with every read checked.
class TiffBlock {
public:
    TiffBlock(const BYTE* data, size_t size) : bytes(data), length(size) {}

    bool ReadHeader(UINT& firstDirectory)
    {
        if (length < 8) return false;
        if (bytes[0] == 'I' && bytes[1] == 'I')
            bigEndian = false;
        else if (bytes[0] == 'M' && bytes[1] == 'M')
            bigEndian = true;
        else
            return false;
        return Word(2) == 42 && Long(4, firstDirectory);
    }
    bool Fits(unsigned long long offset, unsigned long long size) const
    {
        return offset <= length && size <= length - offset;
    }
    UINT Word(size_t at) const
    {
        return bigEndian ? UINT(bytes[at]) << 8 | bytes[at + 1] : UINT(bytes[at + 1]) << 8 | bytes[at];
    }
    bool Long(size_t at, UINT& value) const
    {
        if (!Fits(at, 4)) return false;
        value = bigEndian ? Word(at) << 16 | Word(at + 2) : Word(at + 2) << 16 | Word(at);
        return true;
    }
    // Copies size bytes at offset as little-endian elements of unit bytes each.
    void CopyOut(size_t offset, size_t size, size_t unit, BYTE* out) const
    {
        for (size_t i = 0; i < size; ++i) {
            const size_t inUnit = i % unit;
            out[i] = bytes[offset + (bigEndian ? i - inUnit + unit - 1 - inUnit : i)];
        }
    }

    const BYTE* bytes;
    size_t length;
    bool bigEndian = false;
};

// Bytes per element of a TIFF type, and the unit its bytes swap in (0 for a type GDI+ does not list).
size_t TypeSize(UINT type, size_t& unit)
{
    static const BYTE kSizes[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};
    static const BYTE kUnits[] = {0, 1, 1, 2, 4, 4, 1, 1, 2, 4, 4, 4, 8};
    if (type >= sizeof(kSizes)) return 0;
    unit = kUnits[type];
    return kSizes[type];
}

// GDI+ reports signed bytes and shorts as unsigned, and floating point values as undefined.
WORD ReportedType(UINT type)
{
    switch (type) {
    case 6:
        return PropertyTagTypeByte;
    case 8:
        return PropertyTagTypeShort;
    case 11:
    case 12:
        return PropertyTagTypeUndefined;
    default:
        return static_cast<WORD>(type);
    }
}

// Reads the directory's entries into list; gives the offsets of the EXIF and GPS directories it names.
void ReadDirectory(const TiffBlock& tiff, UINT offset, PropertyList& list, UINT* exif, UINT* gps)
{
    if (!tiff.Fits(offset, 2)) return;
    const UINT count = tiff.Word(offset);
    for (UINT i = 0; i < count; ++i) {
        const size_t entry = size_t(offset) + 2 + size_t(i) * 12;
        if (!tiff.Fits(entry, 12)) return;
        const UINT tag = tiff.Word(entry), type = tiff.Word(entry + 2);
        UINT elements = 0, where = 0;
        tiff.Long(entry + 4, elements);
        tiff.Long(entry + 8, where);
        size_t unit = 1;
        const size_t size = TypeSize(type, unit);
        const unsigned long long bytes = static_cast<unsigned long long>(elements) * size;
        if (size == 0 || bytes == 0) continue;
        const unsigned long long at = bytes <= 4 ? entry + 8 : where;
        if (!tiff.Fits(at, bytes)) continue;  // a value larger than the block: left out, not allocated
        std::vector<BYTE> value(static_cast<size_t>(bytes));
        tiff.CopyOut(static_cast<size_t>(at), value.size(), unit, value.data());
        PutProperty(list, tag, ReportedType(type), value.data(), value.size());
        if (tag == kExifDirectory && exif && type == 4) *exif = where;
        if (tag == kGpsDirectory && gps && type == 4) *gps = where;
    }
}

void ReadExif(const BYTE* data, size_t size, PropertyList& list)
{
    TiffBlock tiff(data, size);
    UINT first = 0, exif = 0, gps = 0;
    if (!tiff.ReadHeader(first)) return;
    ReadDirectory(tiff, first, list, &exif, &gps);
    // Each named directory is read once, without following further names (no loops).
    if (exif && exif != first) ReadDirectory(tiff, exif, list, nullptr, nullptr);
    if (gps && gps != first && gps != exif) ReadDirectory(tiff, gps, list, nullptr, nullptr);
}

// Keeps tables 0 (luminance) and 1 (chrominance) of a DQT segment as 64 shorts in natural order.
void ReadQuantTables(const std::vector<BYTE>& segment, std::vector<WORD> (&tables)[2])
{
    size_t at = 0;
    while (at < segment.size()) {
        const int precision = segment[at] >> 4, index = segment[at] & 0x0F;
        const size_t valueBytes = precision ? 2 : 1;
        if (precision > 1 || segment.size() - at - 1 < 64 * valueBytes) return;
        const BYTE* values = segment.data() + at + 1;
        if (index < 2) {
            tables[index].assign(64, 0);
            for (int i = 0; i < 64; ++i)
                tables[index][kZigzagToNatural[i]] =
                    precision ? static_cast<WORD>(values[2 * i] << 8 | values[2 * i + 1]) : values[i];
        }
        at += 1 + 64 * valueBytes;
    }
}

}  // namespace

void PutProperty(PropertyList& list, PROPID id, WORD type, const void* value, size_t length)
{
    auto found = std::find_if(list.begin(), list.end(), [id](const StoredProperty& p) { return p.id == id; });
    if (found == list.end()) found = list.insert(list.end(), StoredProperty{id, type, {}});
    found->type = type;
    const BYTE* from = static_cast<const BYTE*>(value);
    found->value.assign(from, from + length);
}

void ReadJpegProperties(PictureBytes& bytes, PropertyList& list)
{
    std::vector<WORD> tables[2];
    bool exifRead = false;
    unsigned long long at = 2;  // past the start-of-image marker
    for (int segment = 0; segment < kMaxSegments; ++segment) {
        BYTE head[4];
        if (bytes.ReadAt(at, head, 4) != 4 || head[0] != 0xFF) break;
        if (head[1] == 0xFF) {  // a fill byte before the marker
            ++at;
            continue;
        }
        if (head[1] == 0xDA || head[1] == 0xD9) break;  // the first scan, or the end
        const size_t length = size_t(head[2]) << 8 | head[3];
        if (length < 2) break;
        const bool exif = head[1] == 0xE1 && !exifRead, quant = head[1] == 0xDB;
        if (exif || quant) {
            std::vector<BYTE> data(length - 2);
            if (bytes.ReadAt(at + 4, data.data(), data.size()) != data.size()) break;
            if (quant) ReadQuantTables(data, tables);
            if (exif && data.size() > 6 && std::memcmp(data.data(), "Exif\0\0", 6) == 0) {
                ReadExif(data.data() + 6, data.size() - 6, list);
                exifRead = true;
            }
        }
        at += 2 + length;
    }
    // GDI+ lists the chrominance table before the luminance table.
    const PROPID ids[2] = {kLuminanceTable, kChrominanceTable};
    for (int i = 1; i >= 0; --i)
        if (!tables[i].empty())
            PutProperty(list, ids[i], PropertyTagTypeShort, tables[i].data(), tables[i].size() * sizeof(WORD));
}

UINT PropertyItemBytes(const StoredProperty& item)
{
    return static_cast<UINT>(sizeof(PropertyItem) + item.value.size());
}

Status CopyPropertyIds(const PropertyList& list, UINT count, PROPID* ids)
{
    if (!ids || count != list.size()) return InvalidParameter;
    for (size_t i = 0; i < list.size(); ++i) ids[i] = list[i].id;
    return Ok;
}

namespace {

const StoredProperty* Find(const PropertyList& list, PROPID id)
{
    for (const StoredProperty& item : list)
        if (item.id == id) return &item;
    return nullptr;
}

// Writes the item's header at header and its value at value.
void WriteItem(const StoredProperty& item, PropertyItem* header, BYTE* value)
{
    header->id = item.id;
    header->length = static_cast<ULONG>(item.value.size());
    header->type = item.type;
    header->value = value;
    if (!item.value.empty()) std::memcpy(value, item.value.data(), item.value.size());
}

}  // namespace

Status FindPropertySize(const PropertyList& list, PROPID id, UINT* size)
{
    if (!size) return InvalidParameter;
    const StoredProperty* item = Find(list, id);
    if (!item) return PropertyNotFound;
    *size = PropertyItemBytes(*item);
    return Ok;
}

Status CopyPropertyItem(const PropertyList& list, PROPID id, UINT size, PropertyItem* buffer)
{
    if (!buffer) return InvalidParameter;
    const StoredProperty* item = Find(list, id);
    if (!item) return PropertyNotFound;
    if (size != PropertyItemBytes(*item)) return InvalidParameter;
    WriteItem(*item, buffer, reinterpret_cast<BYTE*>(buffer + 1));
    return Ok;
}

Status TotalPropertySize(const PropertyList& list, UINT* totalBytes, UINT* count)
{
    if (!totalBytes || !count) return InvalidParameter;
    UINT total = 0;
    for (const StoredProperty& item : list) total += PropertyItemBytes(item);
    *totalBytes = total;
    *count = static_cast<UINT>(list.size());
    return Ok;
}

Status CopyAllPropertyItems(const PropertyList& list, UINT totalBytes, UINT count, PropertyItem* items)
{
    if (!items) return InvalidParameter;
    UINT total = 0, listed = 0;
    TotalPropertySize(list, &total, &listed);
    if (count != listed || totalBytes != total) return InvalidParameter;
    if (listed == 0) return GenericError;  // as GDI+ answers for a picture without items
    BYTE* values = reinterpret_cast<BYTE*>(items + listed);
    for (size_t i = 0; i < list.size(); ++i) {
        WriteItem(list[i], &items[i], values);
        values += list[i].value.size();
    }
    return Ok;
}

Status RemoveProperty(PropertyList& list, PROPID id)
{
    auto found = std::find_if(list.begin(), list.end(), [id](const StoredProperty& p) { return p.id == id; });
    if (found == list.end()) return PropertyNotFound;
    list.erase(found);
    return Ok;
}

Status SetProperty(PropertyList& list, const PropertyItem* item)
{
    if (!item || (item->length && !item->value)) return InvalidParameter;
    PutProperty(list, item->id, item->type, item->value, item->length);
    return Ok;
}

}  // namespace Gdiplus
