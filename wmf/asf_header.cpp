#include "asf_header.h"

#include <cstring>

namespace {

using Guid = uint8_t[16];
// GUIDs as they are stored in the file (little-endian first three fields).
const Guid kHeaderObject = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
const Guid kFileProperties = {0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11, 0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
const Guid kStreamProperties = {0x91, 0x07, 0xDC, 0xB7, 0xB7, 0xA9, 0xCF, 0x11, 0x8E, 0xE6, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
const Guid kContentDescription = {0x33, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
const Guid kExtendedContent = {0x40, 0xA4, 0xD0, 0xD2, 0x07, 0xE3, 0xD2, 0x11, 0x97, 0xF0, 0x00, 0xA0, 0xC9, 0x5E, 0xA8, 0x50};
const Guid kAudioMedia = {0x40, 0x9E, 0x69, 0xF8, 0x4D, 0x5B, 0xCF, 0x11, 0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B};
const Guid kVideoMedia = {0xC0, 0xEF, 0x19, 0xBC, 0x4D, 0x5B, 0xCF, 0x11, 0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B};

const size_t kHeaderFixed = 30;  // GUID, size, object count, two reserved bytes
const size_t kObjectFixed = 24;  // GUID, size
const char16_t* const kDescriptionNames[5] = {u"Title", u"Author", u"Copyright", u"Description", u"Rating"};

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Le32(const uint8_t* p) { return Le16(p) | static_cast<uint32_t>(Le16(p + 2)) << 16; }
uint64_t Le64(const uint8_t* p) { return Le32(p) | static_cast<uint64_t>(Le32(p + 4)) << 32; }
void Put16(std::vector<uint8_t>& o, uint16_t v) { o.push_back(v & 0xFF); o.push_back(v >> 8); }
void Put32(std::vector<uint8_t>& o, uint32_t v) { Put16(o, v & 0xFFFF); Put16(o, v >> 16); }
void Put64(std::vector<uint8_t>& o, uint64_t v) { Put32(o, static_cast<uint32_t>(v)); Put32(o, static_cast<uint32_t>(v >> 32)); }
void Set64(uint8_t* p, uint64_t v) { for (int i = 0; i < 8; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i)); }
bool Same(const uint8_t* p, const Guid g) { return std::memcmp(p, g, 16) == 0; }

std::u16string NameFromBytes(const uint8_t* p, size_t bytes)
{
    std::u16string name;
    for (size_t i = 0; i + 1 < bytes; i += 2) {
        char16_t c = Le16(p + i);
        if (!c) break;
        name.push_back(c);
    }
    return name;
}

// Walks the objects of a header; calls visit(object start, object size). False on damage.
template <class Visit>
bool WalkObjects(const uint8_t* data, size_t size, uint64_t& headerSize, Visit visit)
{
    if (size < kHeaderFixed || !Same(data, kHeaderObject)) return false;
    headerSize = Le64(data + 16);
    if (headerSize < kHeaderFixed || headerSize > size) return false;
    uint32_t count = Le32(data + 24);
    size_t pos = kHeaderFixed;
    for (uint32_t i = 0; i < count; ++i) {
        if (headerSize - pos < kObjectFixed) return false;
        uint64_t objectSize = Le64(data + pos + 16);
        if (objectSize < kObjectFixed || objectSize > headerSize - pos) return false;
        visit(data + pos, static_cast<size_t>(objectSize));
        pos += static_cast<size_t>(objectSize);
    }
    return true;
}

void ReadFileProperties(const uint8_t* obj, size_t size, AsfHeader& out)
{
    if (size < kObjectFixed + 80) return;
    const uint8_t* d = obj + kObjectFixed;
    uint64_t play = Le64(d + 40);
    uint64_t prerollMs = Le64(d + 56);
    uint32_t flags = Le32(d + 64);
    uint64_t preroll = prerollMs * 10000;
    if ((flags & 1) == 0 && play > preroll) {  // a broadcast file has no known length
        out.hasDuration = true;
        out.duration = play - preroll;
    }
}

void ReadStreamProperties(const uint8_t* obj, size_t size, AsfHeader& out)
{
    if (size < kObjectFixed + 54) return;
    const uint8_t* d = obj + kObjectFixed;
    AsfStreamEntry entry;
    entry.audio = Same(d, kAudioMedia);
    entry.video = Same(d, kVideoMedia);
    entry.number = Le16(d + 48) & 0x7F;
    out.streams.push_back(entry);
}

void ReadContentDescription(const uint8_t* obj, size_t size, AsfHeader& out)
{
    if (size < kObjectFixed + 10) return;
    const uint8_t* d = obj + kObjectFixed;
    size_t left = size - kObjectFixed - 10;
    const uint8_t* text = d + 10;
    for (int i = 0; i < 5; ++i) {
        size_t len = Le16(d + 2 * i);
        if (len > left) return;
        if (len > 0) {
            AsfAttribute a;
            a.name = kDescriptionNames[i];
            a.value.assign(text, text + len);
            TerminateAsfString(a.value);
            out.attributes.push_back(std::move(a));
        }
        text += len;
        left -= len;
    }
}

uint16_t AttributeTypeFromStored(uint16_t stored)
{
    switch (stored) {
    case 0: return kAsfString;
    case 1: return kAsfBinary;
    case 2: return kAsfBool;
    case 3: return kAsfDword;
    case 4: return kAsfQword;
    case 5: return kAsfWord;
    default: return kAsfBinary;
    }
}

uint16_t StoredTypeFromAttribute(uint16_t type)
{
    switch (type) {
    case kAsfString: return 0;
    case kAsfBool: return 2;
    case kAsfDword: return 3;
    case kAsfQword: return 4;
    case kAsfWord: return 5;
    default: return 1;
    }
}

void ReadExtendedContent(const uint8_t* obj, size_t size, AsfHeader& out)
{
    if (size < kObjectFixed + 2) return;
    const uint8_t* p = obj + kObjectFixed;
    const uint8_t* end = obj + size;
    uint16_t count = Le16(p);
    p += 2;
    for (uint16_t i = 0; i < count; ++i) {
        if (end - p < 2) return;
        size_t nameLen = Le16(p);
        p += 2;
        if (static_cast<size_t>(end - p) < nameLen + 4) return;
        AsfAttribute a;
        a.name = NameFromBytes(p, nameLen);
        p += nameLen;
        uint16_t stored = Le16(p);
        size_t valueLen = Le16(p + 2);
        p += 4;
        if (static_cast<size_t>(end - p) < valueLen) return;
        a.type = AttributeTypeFromStored(stored);
        a.value.assign(p, p + valueLen);
        p += valueLen;
        if (a.type == kAsfString) TerminateAsfString(a.value);
        if (stored == 2 && a.value.size() == 2) a.value.resize(4, 0);  // BOOL is 32-bit in the API
        out.attributes.push_back(std::move(a));
    }
}

// A value as it can be stored with a 16-bit length: a longer string is cut (and stays
// terminated), any other over-long value cannot be stored.
bool FitValue(const AsfAttribute& a, std::vector<uint8_t>& value)
{
    value = a.value;
    if (value.size() <= 0xFFFF) return true;
    if (a.type != kAsfString) return false;
    value.resize(0xFFFC);
    TerminateAsfString(value);
    return true;
}

void PutObjectHeader(std::vector<uint8_t>& o, const Guid g, uint64_t size)
{
    o.insert(o.end(), g, g + 16);
    Put64(o, size);
}

// Content description from the first file-level string of each of its five names.
bool BuildDescription(const std::vector<AsfAttribute>& attrs, std::vector<bool>& used, std::vector<uint8_t>& o)
{
    std::vector<uint8_t> chosen[5];
    bool any = false;
    for (int n = 0; n < 5; ++n) {
        for (size_t i = 0; i < attrs.size(); ++i) {
            const AsfAttribute& a = attrs[i];
            if (used[i] || a.derived || a.type != kAsfString || a.name != kDescriptionNames[n]) continue;
            FitValue(a, chosen[n]);
            used[i] = true;
            any = true;
            break;
        }
    }
    if (!any) return true;
    size_t body = 10;
    for (const auto& v : chosen) body += v.size();
    PutObjectHeader(o, kContentDescription, kObjectFixed + body);
    for (const auto& v : chosen) Put16(o, static_cast<uint16_t>(v.size()));
    for (const auto& v : chosen) o.insert(o.end(), v.begin(), v.end());
    return true;
}

void BuildExtendedContent(const std::vector<AsfAttribute>& attrs, const std::vector<bool>& used, std::vector<uint8_t>& o)
{
    std::vector<uint8_t> body;
    uint16_t count = 0;
    for (size_t i = 0; i < attrs.size() && count < 0xFFFF; ++i) {
        const AsfAttribute& a = attrs[i];
        if (used[i] || a.derived) continue;
        std::vector<uint8_t> name = AsfStringValue(a.name);
        std::vector<uint8_t> value;
        if (!FitValue(a, value) || name.size() > 0xFFFF) continue;
        if (a.type == kAsfBool) value.resize(2);  // stored as a WORD in this object
        Put16(body, static_cast<uint16_t>(name.size()));
        body.insert(body.end(), name.begin(), name.end());
        Put16(body, StoredTypeFromAttribute(a.type));
        Put16(body, static_cast<uint16_t>(value.size()));
        body.insert(body.end(), value.begin(), value.end());
        ++count;
    }
    if (!count) return;
    PutObjectHeader(o, kExtendedContent, kObjectFixed + 2 + body.size());
    Put16(o, count);
    o.insert(o.end(), body.begin(), body.end());
}

}  // namespace

std::vector<uint8_t> AsfStringValue(const std::u16string& text)
{
    std::vector<uint8_t> v;
    v.reserve(text.size() * 2 + 2);
    for (char16_t c : text) Put16(v, c);
    Put16(v, 0);
    return v;
}

void TerminateAsfString(std::vector<uint8_t>& value)
{
    if (value.size() % 2) value.pop_back();
    if (value.size() < 2 || value[value.size() - 1] != 0 || value[value.size() - 2] != 0) Put16(value, 0);
}

bool ParseAsfHeader(const uint8_t* data, size_t size, AsfHeader& out)
{
    out = AsfHeader{};
    return WalkObjects(data, size, out.headerSize, [&](const uint8_t* obj, size_t objSize) {
        if (Same(obj, kFileProperties)) ReadFileProperties(obj, objSize, out);
        else if (Same(obj, kStreamProperties)) ReadStreamProperties(obj, objSize, out);
        else if (Same(obj, kContentDescription)) ReadContentDescription(obj, objSize, out);
        else if (Same(obj, kExtendedContent)) ReadExtendedContent(obj, objSize, out);
    });
}

bool RebuildAsfHeader(const uint8_t* data, size_t size, const std::vector<AsfAttribute>& attributes,
                      std::vector<uint8_t>& out)
{
    std::vector<uint8_t> metadata;
    std::vector<bool> used(attributes.size(), false);
    BuildDescription(attributes, used, metadata);
    BuildExtendedContent(attributes, used, metadata);

    out.assign(data, data + kHeaderFixed);
    uint32_t count = 0;
    bool placed = false;
    size_t filePropertiesAt = 0;
    uint64_t headerSize = 0;
    bool ok = WalkObjects(data, size, headerSize, [&](const uint8_t* obj, size_t objSize) {
        if (Same(obj, kContentDescription) || Same(obj, kExtendedContent)) {
            if (!placed) {  // the new metadata takes the place of the old
                out.insert(out.end(), metadata.begin(), metadata.end());
                placed = true;
            }
            return;
        }
        if (Same(obj, kFileProperties) && objSize >= kObjectFixed + 80) filePropertiesAt = out.size();
        out.insert(out.end(), obj, obj + objSize);
        ++count;
    });
    if (!ok) return false;
    if (!placed) out.insert(out.end(), metadata.begin(), metadata.end());
    // Count the metadata objects that were written.
    for (size_t pos = 0; pos < metadata.size();) {
        ++count;
        pos += static_cast<size_t>(Le64(metadata.data() + pos + 16));
    }
    // Anything between the last object and the header's end is kept as it was.
    uint64_t consumed = kHeaderFixed;
    WalkObjects(data, size, headerSize, [&](const uint8_t*, size_t objSize) { consumed += objSize; });
    out.insert(out.end(), data + consumed, data + headerSize);

    Set64(out.data() + 16, out.size());
    out[24] = count & 0xFF; out[25] = (count >> 8) & 0xFF; out[26] = (count >> 16) & 0xFF; out[27] = count >> 24;
    if (filePropertiesAt) {
        uint8_t* fileSize = out.data() + filePropertiesAt + kObjectFixed + 16;
        int64_t delta = static_cast<int64_t>(out.size()) - static_cast<int64_t>(headerSize);
        uint64_t old = Le64(fileSize);
        if (old) Set64(fileSize, static_cast<uint64_t>(static_cast<int64_t>(old) + delta));
    }
    return true;
}
