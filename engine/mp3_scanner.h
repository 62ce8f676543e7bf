#pragma once
// Walks the MPEG audio frames of a file for its exact length and reads its ID3v1 tag.
#include <cstdint>
#include <string>

class Mp3Scanner {
public:
    // True when the file could be opened, whatever it holds.
    bool scan(const char* path);
    // Reads only the ID3v1 tag (no frame walk); true when the file could be opened.
    bool readTag(const char* path);

    static const char* genreName(int number);  // "" outside 0..147

    std::string path;
    uint32_t flags = 0;  // bit 0: ID3v1 tag found; bit 1: MPEG frames found
    std::string title, artist, album, comment, year;
    int32_t track = 0;
    int32_t genre = 255;
    int32_t version = 0, layer = 0, protection = 0;
    int32_t sampleRate = 0, channelMode = 0, copyright = 0, original = 0, emphasis = 0;
    int64_t frameCount = 0;
    int32_t averageBitrate = 0;
    double length = 0;
    int64_t audioStart = 0;  // first byte after leading ID3v2 tags, where the frame search begins

    static constexpr uint32_t kHasTag = 1;
    static constexpr uint32_t kHasFrames = 2;

private:
    void reset();
};
