#pragma once
// Whole-file reads and writes for tests that build or compare files byte by byte.
#include <string>

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);
// A 128-byte ID3v1 tag; track 0 gives the ID3v1.0 form with a 30-byte comment.
std::string Id3v1Tag(const std::string& title, const std::string& artist, const std::string& album,
                     const std::string& year, const std::string& comment, int track, int genre);
