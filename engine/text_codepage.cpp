#include "text_codepage.h"

#include <atomic>
#include <cerrno>
#include <iconv.h>
#include <string>

namespace {
std::atomic<uint32_t> g_codePage{936};

std::string IconvName(uint32_t cp)
{
    switch (cp) {
    case 65001: return "UTF-8";
    case 936: return "GBK";
    case 20127: return "ASCII";
    case 28591: return "ISO-8859-1";
    default: return "CP" + std::to_string(cp);
    }
}

// Converts with iconv; an unconvertible character becomes '?', an invalid byte is skipped.
std::string Convert(const std::string& text, const std::string& from, const std::string& to)
{
    if (text.empty() || from == to) return text;
    iconv_t cd = iconv_open(to.c_str(), from.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return text;
    std::string out;
    out.resize(text.size() * 4 + 16);
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    char* dst = &out[0];
    size_t dstLeft = out.size();
    while (inLeft > 0) {
        size_t r = iconv(cd, &in, &inLeft, &dst, &dstLeft);
        if (r != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) {
            size_t used = dst - out.data();
            out.resize(out.size() * 2);
            dst = &out[used];
            dstLeft = out.size() - used;
            continue;
        }
        if (errno == EILSEQ && from == "UTF-8") {
            // Skip one whole UTF-8 sequence; a lead byte that cannot start one is dropped.
            unsigned char c = static_cast<unsigned char>(*in);
            size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
            bool valid = len > 1 && len <= inLeft;
            for (size_t i = 1; valid && i < len; ++i)
                valid = (static_cast<unsigned char>(in[i]) & 0xC0) == 0x80;
            if (!valid) len = 1;
            in += len;
            inLeft -= len;
            if (valid && dstLeft > 0) { *dst++ = '?'; --dstLeft; }
            continue;
        }
        // Invalid or truncated input: drop the byte.
        ++in;
        --inLeft;
    }
    iconv(cd, nullptr, nullptr, &dst, &dstLeft);
    iconv_close(cd);
    out.resize(dst - out.data());
    return out;
}
}  // namespace

void SetAnsiCodePage(uint32_t codePage) { g_codePage = codePage; }
uint32_t AnsiCodePage() { return g_codePage; }

std::string Utf8ToAnsi(const std::string& utf8) { return Convert(utf8, "UTF-8", IconvName(g_codePage)); }
std::string AnsiToUtf8(const std::string& ansi) { return Convert(ansi, IconvName(g_codePage), "UTF-8"); }
