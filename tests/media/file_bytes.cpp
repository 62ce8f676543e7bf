#include "file_bytes.h"

#include <algorithm>
#include <fstream>
#include <iterator>

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Id3v1Tag(const std::string& title, const std::string& artist, const std::string& album,
                     const std::string& year, const std::string& comment, int track, int genre)
{
    std::string tag(128, '\0');
    auto put = [&](size_t at, size_t n, const std::string& text) { tag.replace(at, std::min(n, text.size()), text.substr(0, n)); };
    tag.replace(0, 3, "TAG");
    put(3, 30, title);
    put(33, 30, artist);
    put(63, 30, album);
    put(93, 4, year);
    if (track > 0) {
        put(97, 28, comment);
        tag[126] = static_cast<char>(track);
    } else {
        put(97, 30, comment);
    }
    tag[127] = static_cast<char>(genre);
    return tag;
}
