#pragma once
// The metadata of an ASF header: content description, extended content description and the
// play duration of the file properties. Portable code, no Windows headers.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Value types, numbered as WMT_ATTR_DATATYPE.
enum AsfValueType : uint16_t {
    kAsfDword = 0, kAsfString = 1, kAsfBinary = 2, kAsfBool = 3, kAsfQword = 4, kAsfWord = 5, kAsfGuid = 6
};

struct AsfAttribute {
    std::u16string name;
    uint16_t type = kAsfString;
    std::vector<uint8_t> value;  // strings: UTF-16LE, always ending in a zero unit
    bool derived = false;        // computed from the header (Duration); never written back
};

struct AsfStreamEntry {
    uint16_t number = 0;
    bool audio = false;
    bool video = false;
};

struct AsfHeader {
    uint64_t headerSize = 0;
    bool hasDuration = false;
    uint64_t duration = 0;  // 100-ns units, preroll removed
    std::vector<AsfAttribute> attributes;  // file-level, in header order
    std::vector<AsfStreamEntry> streams;   // stream properties objects, in header order
};

// The header object must start at data[0]; size may hold more than the header.
bool ParseAsfHeader(const uint8_t* data, size_t size, AsfHeader& out);

// The same header with its content description and extended content description replaced by
// the attributes (derived ones left out); the file size in the file properties follows the change.
bool RebuildAsfHeader(const uint8_t* data, size_t size, const std::vector<AsfAttribute>& attributes,
                      std::vector<uint8_t>& out);

// A string value as stored: UTF-16LE units and a terminating zero.
std::vector<uint8_t> AsfStringValue(const std::u16string& text);
// Appends a zero unit to string bytes that lack one (odd trailing bytes are dropped).
void TerminateAsfString(std::vector<uint8_t>& value);
